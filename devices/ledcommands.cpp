#include "devices/ledcommands.h"

#include "app/controlbytes.h"

using namespace ctl;

ByteString buildLedUnitPrice() { return ByteString{ESC, 's', '1'}; }
ByteString buildLedTotal() { return ByteString{ESC, 's', '2'}; }
ByteString buildLedAmount(const ByteString &amount) { return ByteString{ESC, 'Q', 'A'} + amount + ByteString{CR}; }
ByteString buildLedClear() { return ByteString{FF}; }
ByteString buildLedClearLine() { return ByteString{CAN}; }
ByteString buildLedInit() { return ByteString{ESC, '@'}; }
