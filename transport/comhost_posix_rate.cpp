// Rates without a B constant (14400, 56000, 128000, 256000 and any other a
// device supports) through termios2 and BOTHER. Apart from the other line
// settings: the kernel's termios2 header cannot share a file with the C
// library's <termios.h>.
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>
#include <cstdint>
#include <sys/ioctl.h>

namespace comhost::posix {

int setOtherRate(int fd, std::uint32_t baud)
{
    struct termios2 t {};
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return errno;
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = baud;
    t.c_ospeed = baud;
    if (::ioctl(fd, TCSETS2, &t) != 0)
        return errno;
    // A driver that cannot make the rate sets the nearest it can; far off
    // (more than 3 %, past what a UART tolerates) counts as refused.
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return errno;
    const std::uint64_t got = t.c_ospeed;
    if (got * 100 < std::uint64_t(baud) * 97 || got * 100 > std::uint64_t(baud) * 103)
        return EINVAL;
    return 0;
}

} // namespace comhost::posix
