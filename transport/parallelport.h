#pragma once
// The parallel printer port, written as a device file.
#include <string>

namespace parallel {

// How long a printer may stop taking bytes before the write is given up.
constexpr int kStallTimeoutMs = 10000;

// Opens the existing device `path` (never creates a file), writes every byte
// unchanged and closes it. Raises EInOutError; the device is closed before
// the error leaves.
void writeDevice(const std::string &path, const std::string &data, int stallTimeoutMs = kStallTimeoutMs);

} // namespace parallel
