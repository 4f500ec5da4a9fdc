#pragma once
// Input/output errors of files and the parallel port, numbered like the
// run-time library's I/O result codes so the operator sees the usual texts.
#include <cstdint>
#include <stdexcept>
#include <string>

class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(int code, std::uint64_t written = 0);
    int ErrorCode;
    // Bytes that had gone out before the failure (a device write).
    std::uint64_t Written;
};

// "File not found" for 2 and the rest; "I/O error %d" for any other code.
std::string ioErrorText(int code);

// Host error number (errno) to the I/O result code the operator is shown.
int ioCodeFromErrno(int err);

// Creates or truncates a regular file and writes the bytes unchanged.
// Raises EInOutError; a partly written file is closed before the error leaves.
void writeWholeFile(const std::string &path, const std::string &data);
