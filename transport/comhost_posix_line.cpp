// Line settings of the Linux host layer: one raw-mode recipe for termios,
// the modem lines and the line's state.
#include "transport/comhost_posix.h"

#include <sys/ioctl.h>

namespace comhost::posix {

speed_t speedFor(std::uint32_t baud, bool &ok)
{
    ok = true;
    switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: ok = false; return B9600;
    }
}

int PosixComHost::modemIoctl(int fd, unsigned long request, int *bits) const
{
    return m_modemIoctl ? m_modemIoctl(fd, request, bits) : ::ioctl(fd, request, bits);
}

void PosixComHost::setLine(Device &dev, int bit, bool on) const
{
    if (dev.noModemLines)
        return;
    if (modemIoctl(dev.fd, on ? TIOCMBIS : TIOCMBIC, &bit) != 0 && (errno == ENOTTY || errno == EINVAL))
        dev.noModemLines = true;
}

bool termiosFromDcb(const DCB &dcb, speed_t speed, termios &tio)
{
    ::cfmakeraw(&tio);
    // cfmakeraw leaves IXOFF and INPCK as the last user set them: a port
    // once opened with software flow control would go on sending XOFF.
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    tio.c_cflag &= ~CSIZE;
    switch (dcb.ByteSize) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    case 8: tio.c_cflag |= CS8; break;
    default: return false;
    }
    tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (dcb.Parity) {
    case 0: break;
    case 1: tio.c_cflag |= PARENB | PARODD; break;
    case 2: tio.c_cflag |= PARENB; break;
    case 3: tio.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 4: tio.c_cflag |= PARENB | CMSPAR; break;
    default: return false;
    }
    if (dcb.Flags & kDcbParity)
        tio.c_iflag |= INPCK;
    switch (dcb.StopBits) {
    case 0: tio.c_cflag &= ~CSTOPB; break;
    case 1:
    case 2: tio.c_cflag |= CSTOPB; break;
    default: return false;
    }
    if (dcb.Flags & kDcbOutX)
        tio.c_iflag |= IXON;
    if (dcb.Flags & kDcbInX)
        tio.c_iflag |= IXOFF;
    tio.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    if ((dcb.Flags & kDcbOutxCtsFlow) || (dcb.Flags & kDcbRtsMask) == kDcbRtsHandshake)
        tio.c_cflag |= CRTSCTS;
    else
        tio.c_cflag &= ~CRTSCTS;
    return true;
}

bool PosixComHost::SetCommState(Handle h, const DCB &dcb)
{
    auto dev = device(h);
    if (!dev)
        return false;
    termios tio{};
    if (::tcgetattr(dev->fd, &tio) != 0)
        return failErrno(errno);
    bool ok = false;
    const speed_t speed = speedFor(dcb.BaudRate, ok);
    if (!ok && dcb.BaudRate == 0)
        return fail(kErrorInvalidParameter);
    if (!termiosFromDcb(dcb, speed, tio))
        return fail(kErrorInvalidParameter);
    if (::tcsetattr(dev->fd, TCSANOW, &tio) != 0)
        return failErrno(errno);
    if (!ok) {
        // Linux sets any rate the device supports; only the device's own
        // refusal is an invalid parameter.
        const int err = setOtherRate(dev->fd, dcb.BaudRate);
        if (err == EINVAL || err == ENOTTY)
            return fail(kErrorInvalidParameter);
        if (err != 0)
            return failErrno(err);
    }
    // Opening a port raises DTR and RTS on Linux; put them where the
    // settings say.
    setLine(*dev, TIOCM_DTR, (dcb.Flags & kDcbDtrMask) != 0);
    setLine(*dev, TIOCM_RTS, (dcb.Flags & kDcbRtsMask) != 0);
    std::lock_guard<std::mutex> lock(m_mutex);
    dev->dcb = dcb;
    return true;
}

bool PosixComHost::GetCommState(Handle h, DCB &dcb)
{
    auto dev = device(h);
    if (!dev)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    dcb = dev->dcb;
    return true;
}

bool PosixComHost::SetCommTimeouts(Handle h, const COMMTIMEOUTS &t)
{
    auto dev = device(h);
    if (!dev)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    dev->timeouts = t;
    return true;
}

bool PosixComHost::ClearCommError(Handle h, std::uint32_t *errors, COMSTAT *stat)
{
    auto dev = device(h);
    if (!dev)
        return false;
    int in = 0, out = 0;
    if (::ioctl(dev->fd, FIONREAD, &in) != 0)
        return failErrno(errno);
    out = queuedOut(dev->fd);
    // The part of a pending write not yet handed to the driver is output
    // still to go, as Windows counts it.
    if (dev->writing)
        out += static_cast<int>(dev->write.count - dev->write.done);
    if (errors)
        *errors = 0;
    if (stat) {
        stat->Flags = 0;
        stat->cbInQue = static_cast<std::uint32_t>(in);
        stat->cbOutQue = static_cast<std::uint32_t>(out);
    }
    return true;
}

bool PosixComHost::GetCommModemStatus(Handle h, std::uint32_t *status)
{
    auto dev = device(h);
    if (!dev)
        return false;
    int lines = 0;
    if (!dev->noModemLines && modemIoctl(dev->fd, TIOCMGET, &lines) != 0) {
        if (errno != ENOTTY && errno != EINVAL)
            return failErrno(errno);
        dev->noModemLines = true;
        lines = 0; // no modem lines: all off
    }
    if (status)
        *status = modemStatusOf(lines);
    return true;
}

std::uint32_t modemStatusOf(int lines)
{
    std::uint32_t s = 0;
    if (lines & TIOCM_CTS)
        s |= kMsCtsOn;
    if (lines & TIOCM_DSR)
        s |= kMsDsrOn;
    if (lines & TIOCM_RNG)
        s |= kMsRingOn;
    if (lines & TIOCM_CD)
        s |= kMsRlsdOn;
    return s;
}

} // namespace comhost::posix
