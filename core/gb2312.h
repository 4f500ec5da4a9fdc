#pragma once
// Texts the printer prints travel as GB2312 bytes.
#include "core/bytestring.h"

#include <QString>

ByteString toGb2312(const QString &text);
