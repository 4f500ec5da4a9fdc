#include "transport/devicecheck.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The first other process with the device open, from /proc.
bool findHolder(const struct stat &dev, DeviceProblem &p)
{
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return false;
    const int self = static_cast<int>(::getpid());
    bool found = false;
    while (dirent *e = ::readdir(proc)) {
        const int pid = std::atoi(e->d_name);
        if (pid <= 0 || pid == self)
            continue;
        const std::string fdDir = std::string("/proc/") + e->d_name + "/fd";
        DIR *fds = ::opendir(fdDir.c_str());
        if (!fds)
            continue;
        while (dirent *f = ::readdir(fds)) {
            struct stat st {};
            if (f->d_name[0] == '.' || ::stat((fdDir + "/" + f->d_name).c_str(), &st) != 0)
                continue;
            if (st.st_rdev == dev.st_rdev && st.st_ino == dev.st_ino && st.st_dev == dev.st_dev) {
                found = true;
                break;
            }
        }
        ::closedir(fds);
        if (found) {
            p.pid = pid;
            std::ifstream comm(std::string("/proc/") + e->d_name + "/comm");
            std::getline(comm, p.process);
            break;
        }
    }
    ::closedir(proc);
    return found;
}

} // namespace

DeviceProblem diagnoseDevice(const std::string &path, bool serial)
{
    DeviceProblem p;
    p.path = path;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        p.kind = errno == EACCES ? DeviceProblem::PermissionDenied : DeviceProblem::Missing;
        return p;
    }
    if (::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        p.kind = DeviceProblem::PermissionDenied;
        p.mode = st.st_mode & 07777;
        if (const passwd *u = ::getpwuid(st.st_uid))
            p.owner = u->pw_name;
        else
            p.owner = std::to_string(st.st_uid);
        if (const group *g = ::getgrgid(st.st_gid))
            p.ownerGroup = g->gr_name;
        else
            p.ownerGroup = std::to_string(st.st_gid);
        // Joining the group helps only where the group may read and write.
        if ((st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP) && st.st_gid != 0)
            p.group = p.ownerGroup;
        return p;
    }
    if (S_ISFIFO(st.st_mode)) {
        // A pipe without a reader takes no byte; a non-blocking open says so.
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
        else if (errno == ENXIO)
            p.kind = DeviceProblem::NoReader;
        return p;
    }
    if (findHolder(st, p)) {
        p.kind = DeviceProblem::HeldByOther;
        return p;
    }
    if (serial) {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            termios tio{};
            serial_struct ss{};
            if (::tcgetattr(fd, &tio) != 0)
                p.kind = DeviceProblem::NotSerial;
            else if (::ioctl(fd, TIOCGSERIAL, &ss) == 0 && ss.type == PORT_UNKNOWN)
                p.kind = DeviceProblem::NoHardware;
            else if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
                p.kind = DeviceProblem::HeldByOther; // a lock of a descriptor /proc did not show as another's
            ::close(fd);
        } else if (errno == ENXIO || errno == ENODEV) {
            p.kind = DeviceProblem::NoHardware;
        } else if (errno == EBUSY) {
            p.kind = DeviceProblem::HeldByOther;
        }
    }
    return p;
}
