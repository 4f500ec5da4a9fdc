#include "devices/ledcommands.h"

#include "core/controlbytes.h"
#include "core/dispatch.h"

#include <QCoreApplication>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(Tledf)
};

} // namespace

using namespace ctl;

ByteString buildLedUnitPrice() { return ByteString{ESC, 's', '1'}; }
ByteString buildLedTotal() { return ByteString{ESC, 's', '2'}; }
ByteString buildLedAmount(const ByteString &amount) { return ByteString{ESC, 'Q', 'A'} + amount + ByteString{CR}; }
ByteString buildLedClear() { return ByteString{FF}; }
ByteString buildLedClearLine() { return ByteString{CAN}; }
ByteString buildLedInit() { return ByteString{ESC, '@'}; }

bool ledRouteServes(const Route &route) { return route.kind == Route::Parallel || route.kind == Route::Serial; }

QString ledNeedsSerialPort() { return Text::tr("You must select Serial Port for Tavo-K3's LED Display!!"); }
