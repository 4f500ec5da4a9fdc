#pragma once
// What the process holds, counted from /proc: descriptors and threads.
#include <dirent.h>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

// Entries of a /proc folder; `counts` may leave some out by name.
inline int countEntries(const std::string &path, const std::function<bool(const std::string &name)> &counts = {})
{
    int n = 0;
    if (DIR *d = ::opendir(path.c_str())) {
        while (const dirent *e = ::readdir(d))
            n += !counts || counts(e->d_name);
        ::closedir(d);
    }
    return n;
}

inline int openDescriptors() { return countEntries("/proc/self/fd"); }

// Each descriptor with what it leads to, one a line: what a count that
// differs is made of.
inline std::string descriptorTargets()
{
    std::string out;
    countEntries("/proc/self/fd", [&](const std::string &fd) {
        char target[256] = {};
        const long n = ::readlink(("/proc/self/fd/" + fd).c_str(), target, sizeof target - 1);
        out += fd + " -> " + (n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string("?")) + "\n";
        return true;
    });
    return out;
}

// The process's threads but those whose name is `except`.
inline int threadsBut(const std::string &except)
{
    return countEntries("/proc/self/task", [&](const std::string &task) {
        std::ifstream comm("/proc/self/task/" + task + "/comm");
        std::string name;
        std::getline(comm, name);
        return name != except;
    });
}
