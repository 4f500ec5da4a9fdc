#pragma once
// What a fuzz target does when an invariant fails: stop at once, so that
// libFuzzer keeps the input.
inline void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}
