#pragma once
// tavo-cli: the windows' commands without a window. It drives the same
// builders, route rules and transfer layer as the windows, so that what it
// sends is byte for byte what the window sends for the same fields.
#include "core/dispatch.h"

#include <QStringList>
#include <QTextStream>

class Outside;
namespace comhost {
class ComHost;
}

// Exit statuses: 0 done; 1 an error, a refusal or bad arguments; 2 the
// network printer refused the connection.
constexpr int kCliOk = 0, kCliError = 1, kCliRefused = 2;

// `args` without the program name. `host` replaces the host's serial layer
// (tests); null uses the system's.
int runCli(const QStringList &args, Outside &outside, QTextStream &out, QTextStream &err,
           comhost::ComHost *host = nullptr, NetPrinterApi net = NetPrinterApi::library());

// Every command with its arguments, as --help lists them.
QString cliHelp();
