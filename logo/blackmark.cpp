#include "logo/blackmark.h"

#include "app/controlbytes.h"
#include "app/rtl.h"

using namespace ctl;

std::int64_t motionUnits(double millimetres) { return RoundHalfEven(millimetres / kMotionUnitMm); }

ByteString buildMarkOffset(MarkTarget target, MarkDirection direction, int units)
{
    ByteString s{GS, 'T', GS, '(', 'F', 4, 0};
    appendByte(s, static_cast<int>(target));
    appendByte(s, static_cast<int>(direction));
    appendLowHigh(s, units);
    return s;
}

namespace {

ByteString demoText(const ByteString &line1, const ByteString &line2)
{
    ByteString s = line1;
    s.push_back(LF);
    s += line2;
    s += ByteString{ESC, 'd', 5, LF};
    return s;
}

} // namespace

ByteString buildFeedToPrintStart(const ByteString &line1, const ByteString &line2)
{
    return demoText(line1, line2) + ByteString{GS, 'T', GS, FF, CR};
}

ByteString buildFeedToCut(const ByteString &line1, const ByteString &line2)
{
    return demoText(line1, line2) + ByteString{GS, 'T', GS, 'V', 0x42, CR};
}
