#pragma once
// The lines a virtual printer listens on, on the host's side: a
// pseudo-terminal standing in for a serial port (with a symlink that the
// port map can name), and a FIFO standing in for a parallel port. The
// virtual printer reads and writes their descriptors; the host calls stay here.
#include <cstddef>
#include <string>

namespace vline {

struct Pty {
    int master = -1;
    int slave = -1;       // kept open: the line stays up between the program's opens
    int lock = -1;        // LINK.lock, locked while this line owns the link
    std::string slavePath;
};

// A raw pseudo-terminal; `linkPath` (when not empty) becomes a symlink to
// its slave, replacing an old symlink there, unless another live process
// holds that link (its LINK.lock is locked): then it throws, naming it.
// Throws std::runtime_error.
Pty openPty(const std::string &linkPath);
// The rate the other side set on the line, in bit/s (0 when unknown).
int lineBits(const Pty &pty);
// Closes the line and removes the symlink, if it still points at this line.
void closePty(Pty &pty, const std::string &linkPath);

// A FIFO at `path` (made when missing), opened for reading without
// blocking, and held open for writing too: a writer that comes and goes
// never leaves the reader at end of input, so no bytes of the next writer
// can fall between two opens. Throws std::runtime_error.
struct Fifo {
    int read = -1;
    int hold = -1;
};
Fifo openFifo(const std::string &path);
void closeFifo(Fifo &fifo);

// Reads what is there: the count, 0 at end of input, -1 when nothing is
// there now.
long readSome(int fd, char *buffer, std::size_t size);
// Writes all of `size` bytes, waiting a little where the line is full.
bool writeAll(int fd, const char *data, std::size_t size);
void closeFd(int fd);

} // namespace vline
