#include "logo/blackmark.h"

#include "core/controlbytes.h"
#include "core/gb2312.h"
#include "core/rtl.h"

#include <QCoreApplication>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(Tbmf)
};

} // namespace

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

QString markOffsetRefusal(double mm, MarkDirection direction)
{
    if (direction == MarkDirection::Backward && mm > kMaxBackwardMm)
        return Text::tr("最大退纸长度不能 超过 100 毫米！！");
    // A negative distance would go out as its low bits: -5 mm would move the
    // paper by 228 units the other way. The direction buttons say which way.
    if (mm < 0)
        return Text::tr("距离不能为负数！请用前进或后退按钮选择方向。");
    if (motionUnits(mm) > kMaxMotionUnits)
        return Text::tr("距离太大，超出打印机可设置的范围！");
    return QString();
}

ByteString buildFeedDemo(MarkTarget target)
{
    if (target == MarkTarget::PrintStart)
        return buildFeedToPrintStart(toGb2312(QStringLiteral("开始打印")),
                                     toGb2312(QStringLiteral("然后走纸到下一个起始打印位置")));
    return buildFeedToCut(toGb2312(QStringLiteral("开始打印")), toGb2312(QStringLiteral("然后走纸到下一个切/撕纸位置")));
}
