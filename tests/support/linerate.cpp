// The rate a terminal is set to, in bits a second, however it was set (a B
// constant or BOTHER). The kernel's termios2 header cannot share a file with
// the C library's <termios.h>, hence a file of its own.
#include "tests/support/linerate.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

std::uint32_t lineRate(int fd)
{
    struct termios2 t {};
    return ::ioctl(fd, TCGETS2, &t) == 0 ? t.c_ospeed : 0;
}
