#pragma once
// The transfer log's entries as the log window and its copies show them,
// with the decoded listing of each command.
#include "core/transferlog.h"

#include <QString>

// The result as the log lists it: "已发送", "失败：…", "已取消：n / m 字节".
QString resultText(const LogEntry &entry);
// The entry in full: where, when, result, the decoded listing with hex, and
// the printer's answer.
QString entryText(const LogEntry &entry);
