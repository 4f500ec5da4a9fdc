#include "logo/tbmf.h"

#include "core/gb2312.h"
#include "core/rtl.h"
#include "ui/widgets.h"

Tbmf::Tbmf(ToolHost &host) : ToolWindow(host, "bmf", 476, 337)
{
    setFont(songti(14));
    const char *buttons[] = {"Button2", "Button3", "Button4", "Button5"};
    const QString captions[] = {tr("起始打印位置在检测到黑标位置后前进"), tr("起始打印位置在检测到黑标位置后后退"),
                                tr("切/撕纸位置在检测到黑标位置后前进"), tr("切/撕纸位置在检测到黑标位置后后退")};
    const char *edits[] = {"Edit1", "Edit2", "Edit3", "Edit4"};
    for (int i = 0; i < 4; ++i) {
        const int y = 16 + 40 * i;
        makeButton(this, buttons[i], captions[i], 8, y, 300, 30);
        m_edit[i + 1] = makeEdit(this, edits[i], QStringLiteral("0"), 316, y + 3, 80, 24);
        makeLabel(this, "", tr("毫米处"), 402, y + 8);
    }
    makeButton(this, "Button6", tr("打印并走纸到下一个起始打印位置"), 8, 184, 300, 30);
    makeButton(this, "Button7", tr("打印并走纸到下一个切撕纸位置"), 8, 224, 300, 30);
    makeLabel(this, "", tr("nL="), 316, 190);
    m_edit[5] = makeEdit(this, "Edit5", QStringLiteral("0"), 350, 187, 60, 24);
    makeLabel(this, "", tr("nH="), 316, 230);
    m_edit[6] = makeEdit(this, "Edit6", QStringLiteral("0"), 350, 227, 60, 24);
    makeButton(this, "Button1", tr("关闭"), 188, 280, 100, 34);
    setWindowTitle(tr("Tavo 76针打黑标定位偏移量设置/演示"));

    auto button = [this](const char *name) { return findChild<QAbstractButton *>(QLatin1String(name)); };
    connectClick(button("Button1"), &Tbmf::Button1Click);
    connectClick(button("Button2"), &Tbmf::Button2Click);
    connectClick(button("Button3"), &Tbmf::Button3Click);
    connectClick(button("Button4"), &Tbmf::Button4Click);
    connectClick(button("Button5"), &Tbmf::Button5Click);
    connectClick(button("Button6"), &Tbmf::Button6Click);
    connectClick(button("Button7"), &Tbmf::Button7Click);
}

void Tbmf::Button1Click() { close(); }
void Tbmf::Button2Click() { sendOffset(m_edit[1], MarkTarget::PrintStart, MarkDirection::Forward); }
void Tbmf::Button3Click() { sendOffset(m_edit[2], MarkTarget::PrintStart, MarkDirection::Backward); }
void Tbmf::Button4Click() { sendOffset(m_edit[3], MarkTarget::Cut, MarkDirection::Forward); }
void Tbmf::Button5Click() { sendOffset(m_edit[4], MarkTarget::Cut, MarkDirection::Backward); }

void Tbmf::sendOffset(QLineEdit *field, MarkTarget target, MarkDirection direction)
{
    const double mm = StrToFloat(field->text());
    if (const QString refusal = markOffsetRefusal(mm, direction); !refusal.isEmpty()) {
        message(refusal);
        return;
    }
    const std::int64_t n = motionUnits(mm);
    const LowHigh lh = splitLowHigh(static_cast<int>(n));
    m_edit[5]->setText(QString::number(lh.low));
    m_edit[6]->setText(QString::number(lh.high));
    sendTool(buildMarkOffset(target, direction, static_cast<int>(n)));
}

void Tbmf::Button6Click() { sendTool(buildFeedDemo(MarkTarget::PrintStart)); }

void Tbmf::Button7Click() { sendTool(buildFeedDemo(MarkTarget::Cut)); }
