#pragma once
// The command-line programs' standard output: written to the end, or the
// program fails, so that a script can tell that nothing was written (a full
// disk, a closed pipe).
#include <QTextStream>

// Flushes `out` and the C stream below it. Returns `status` when every byte
// was written; otherwise tells why on standard error as `program` and
// returns 1 (or `status` when that already says failure).
int finishOutput(QTextStream &out, const char *program, int status);
