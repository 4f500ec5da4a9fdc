/* Preloaded into Wine for the Windows transport tests. A pseudo-terminal
 * has no modem lines and no interrupt counters, so the kernel refuses
 * TIOCMGET and its kin and TIOCGICOUNT on it; Wine's GetCommModemStatus and
 * WaitCommEvent then fail, and Wine, which tells EV_RXCHAR from the receive
 * counter, never sees a byte arrive. For pseudo-terminal slaves this answers
 * them as a serial line with DTR, RTS, CTS, DSR and carrier up would,
 * remembering what the program sets, and counts the bytes received (read
 * so far plus those waiting) and sent (written less those still queued).
 * Every other call goes through. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <linux/serial.h>
#include <stdarg.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

enum { kMaxFd = 4096 };
static int lines[kMaxFd];
static unsigned char known[kMaxFd];
static unsigned long long consumed[kMaxFd], written[kMaxFd];

static int isPtySlave(int fd)
{
    struct stat st;
    /* Unix98 pseudo-terminal slaves have majors 136 to 143. */
    return fd >= 0 && fd < kMaxFd && fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 &&
           major(st.st_rdev) <= 143;
}

static void *next(const char *name)
{
    return dlsym(RTLD_NEXT, name);
}

ssize_t read(int fd, void *buf, size_t count)
{
    static ssize_t (*real)(int, void *, size_t);
    if (!real)
        real = (ssize_t(*)(int, void *, size_t))next("read");
    const ssize_t n = real(fd, buf, count);
    if (n > 0 && isPtySlave(fd))
        consumed[fd] += (unsigned long long)n;
    return n;
}

ssize_t write(int fd, const void *buf, size_t count)
{
    static ssize_t (*real)(int, const void *, size_t);
    if (!real)
        real = (ssize_t(*)(int, const void *, size_t))next("write");
    const ssize_t n = real(fd, buf, count);
    if (n > 0 && isPtySlave(fd))
        written[fd] += (unsigned long long)n;
    return n;
}

int ioctl(int fd, unsigned long request, ...)
{
    static int (*real)(int, unsigned long, ...);
    va_list ap;
    va_start(ap, request);
    void *arg = va_arg(ap, void *);
    va_end(ap);
    if (!real)
        real = (int (*)(int, unsigned long, ...))next("ioctl");
    const int modem = request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
    if ((!modem && request != TIOCGICOUNT) || !arg || !isPtySlave(fd))
        return real(fd, request, arg);
    if (request == TIOCGICOUNT) {
        struct serial_icounter_struct *c = (struct serial_icounter_struct *)arg;
        int inq = 0, outq = 0;
        real(fd, TIOCINQ, &inq);
        real(fd, TIOCOUTQ, &outq);
        memset(c, 0, sizeof *c);
        c->rx = (int)(consumed[fd] + (unsigned long long)inq);
        c->tx = (int)(written[fd] - (unsigned long long)outq);
        return 0;
    }
    if (!known[fd]) {
        lines[fd] = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
        known[fd] = 1;
    }
    int *bits = (int *)arg;
    const int settable = TIOCM_DTR | TIOCM_RTS;
    if (request == TIOCMGET)
        *bits = lines[fd];
    else if (request == TIOCMSET)
        lines[fd] = (lines[fd] & ~settable) | (*bits & settable);
    else if (request == TIOCMBIS)
        lines[fd] |= *bits & settable;
    else
        lines[fd] &= ~(*bits & settable);
    return 0;
}
