#include "transport/ioerror.h"

#include <cerrno>
#include <cstdio>

EInOutError::EInOutError(int code, std::uint64_t written)
    : std::runtime_error(ioErrorText(code)), ErrorCode(code), Written(written)
{
}

std::string ioErrorText(int code)
{
    switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
    }
}

int ioCodeFromErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENXIO: // a FIFO nobody reads, or a port without hardware behind it
    case ENODEV: return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EISDIR: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EROFS: return 5;
    case ENOSPC:
    case EFBIG: return 101;
    case EBUSY: return 32;      // sharing violation
    case ETIMEDOUT: return 1460; // time-out
    case EPIPE: return 232;     // the reader went away
    case EIO: return 1117;      // device I/O error
    default: return 31;         // device does not function
    }
}

void writeWholeFile(const std::string &path, const std::string &data)
{
    errno = 0;
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw EInOutError(ioCodeFromErrno(errno ? errno : EACCES));
    const std::size_t written = data.empty() ? 0 : std::fwrite(data.data(), 1, data.size(), f);
    if (written != data.size()) {
        const int err = errno ? errno : ENOSPC;
        std::fclose(f);
        throw EInOutError(ioCodeFromErrno(err));
    }
    if (std::fclose(f) != 0)
        throw EInOutError(ioCodeFromErrno(errno ? errno : ENOSPC));
}
