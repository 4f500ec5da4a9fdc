#!/usr/bin/env bash
# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, then
# the serial tests under ThreadSanitizer. Any finding fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
TAVO_BUILD_DIR="$root/build-asan" \
TAVO_CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Debug -DTAVO_SANITIZE=address,undefined" \
  "$root/scripts/test.sh"
TAVO_BUILD_DIR="$root/build-tsan" \
TAVO_CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Debug -DTAVO_SANITIZE=thread" \
TAVO_BUILD_TARGET=test_transports \
TAVO_CTEST_ARGS="-R ComPort" \
  "$root/scripts/test.sh"
