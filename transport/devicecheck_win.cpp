#include "transport/devicecheck.h"

// Windows names the cause in its own error code; there is nothing to add.
DeviceProblem diagnoseDevice(const std::string &path, bool)
{
    DeviceProblem p;
    p.path = path;
    return p;
}
