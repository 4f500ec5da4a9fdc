#pragma once
// Commands of the LED customer display.
#include "core/bytestring.h"

#include <QString>

struct Route;

ByteString buildLedUnitPrice();
ByteString buildLedTotal();
// `amount` is the field's text as the printer's bytes, sent unchanged.
ByteString buildLedAmount(const ByteString &amount);
ByteString buildLedClear();
ByteString buildLedClearLine();
ByteString buildLedInit();

// The display hangs on the printer's serial or parallel line; the network
// printer library cannot reach it.
bool ledRouteServes(const Route &route);
QString ledNeedsSerialPort();
