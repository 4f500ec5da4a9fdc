#pragma once
// What the process holds, counted from /proc: descriptors and threads.
#include <dirent.h>
#include <fstream>
#include <functional>
#include <string>

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
