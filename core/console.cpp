#include "core/console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int finishOutput(QTextStream &out, const char *program, int status)
{
    errno = 0;
    out.flush();
    bool written = out.status() == QTextStream::Ok;
    int cause = errno;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        written = false;
        cause = errno ? errno : cause;
    }
    if (written)
        return status;
    std::fprintf(stderr, "%s: standard output was not written: %s\n", program,
                 cause ? std::strerror(cause) : "write error");
    return status == 0 ? 1 : status;
}
