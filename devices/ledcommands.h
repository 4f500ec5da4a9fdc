#pragma once
// Commands of the LED customer display.
#include "app/bytestring.h"

ByteString buildLedUnitPrice();
ByteString buildLedTotal();
// `amount` is the field's text as the printer's bytes, sent unchanged.
ByteString buildLedAmount(const ByteString &amount);
ByteString buildLedClear();
ByteString buildLedClearLine();
ByteString buildLedInit();
