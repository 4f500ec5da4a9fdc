#pragma once
// The transfer log's entries as the log window and its copies show them,
// with the decoded listing of each command.
#include "core/transferlog.h"

#include <QString>

#include <cstddef>

// The result as the log lists it: "已发送", "失败：…", "已取消：n / m 字节".
QString resultText(const LogEntry &entry);
// The entry in full: where, when, result, the decoded listing with hex, and
// the printer's answer. With `maxCommands`, the listing stops after that
// many commands and says how many bytes it left out.
QString entryText(const LogEntry &entry, std::size_t maxCommands = 0);
