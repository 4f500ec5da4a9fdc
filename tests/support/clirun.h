#pragma once
// tavo-cli run in the test's own process, with the test's seam and device
// names: its exit status and what it wrote to standard output and error.
#include "cli/cli.h"
#include "tests/support/programfixture.h"

#include <QTextStream>

struct CliRun {
    int status;
    QString out, err;
};

inline CliRun runCliHere(Outside &outside, const QStringList &args)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    const int status = runCli(args, outside, o, e, nullptr, NetCalls::api());
    o.flush();
    e.flush();
    return {status, out, err};
}
