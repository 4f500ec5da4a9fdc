#pragma once
// The virtual printer's host in a test's own process.
#include "virtualprinter/host.h"

// The port the host listens on, from its own description ("tcp 127.0.0.1:N").
inline int tcpPortOf(const vp::Host &host)
{
    for (const QString &line : host.describeLines())
        if (line.startsWith(QLatin1String("tcp ")))
            return line.section(QLatin1Char(':'), -1).toInt();
    return 0;
}
