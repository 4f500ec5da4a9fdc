#include "settings/settingspanel.h"

#include "ui/dropdown.h"
#include "ui/widgets.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
};

constexpr int kBoxLeft = 16, kBoxWidth = 172, kBoxHeight = 20;
constexpr int kButtonLeft = 192, kButtonWidth = 145, kButtonHeight = 26;
constexpr int kDropLeft = 344, kDropWidth = 169;

} // namespace

const std::vector<PanelRow> &panelRows()
{
    auto setting = [](Setting s) { return &oneValueSetting(s); };
    auto entries = [](Setting s) { return oneValueSetting(s).entries; };
    static const std::vector<PanelRow> rows = {
        {PanelId::BlackMark, "dcb", 117, QT_TRANSLATE_NOOP("TForm1", "Tavo76 针打黑标设置"), "db", 112,
         QT_TRANSLATE_NOOP("TForm1", "针打黑标控制设置"), nullptr, 0, 0, -1, {}, nullptr},
        {PanelId::SerialSpeed, "tcb", 141, QT_TRANSLATE_NOOP("TForm1", "Tavo58系列串口设置"), "tb", 140,
         QT_TRANSLATE_NOOP("TForm1", "波特率设置"), "tc", 142, 22, -1,
         serialSpeedEntries(), nullptr},
        {PanelId::Led, "lcb", 162, QT_TRANSLATE_NOOP("TForm1", "Tavo-K3 LED显示"), "lb", 169,
         QT_TRANSLATE_NOOP("TForm1", "LED显示演示"), nullptr, 0, 0, -1, {}, nullptr},
        {PanelId::NvLogo, "nvcb", 198, QT_TRANSLATE_NOOP("TForm1", "Tavo80 NV Logo演示"), "nvd", 197,
         QT_TRANSLATE_NOOP("TForm1", "NV Logo下载"), nullptr, 0, 0, -1, {}, nullptr},
        {PanelId::PaperWidth, "CheckBox8", 231, QT_TRANSLATE_NOOP("TForm1", "Tavo76打印纸宽选择"), "paperb", 226,
         QT_TRANSLATE_NOOP("TForm1", "打印纸宽选择"), "paperc", 227, 24, 1, entries(Setting::PaperWidth),
         setting(Setting::PaperWidth)},
        {PanelId::Density, "CheckBox1", 288, QT_TRANSLATE_NOOP("TForm1", "Tavo76针打浓度设置"), "sdb", 283,
         QT_TRANSLATE_NOOP("TForm1", "设置打印浓度"), "dc", 285, 22, 1, entries(Setting::Density),
         setting(Setting::Density)},
        {PanelId::AutoLineFeed, "CheckBox2", 316, QT_TRANSLATE_NOOP("TForm1", "Tavo76针打自动换行设置"), "crb", 311,
         QT_TRANSLATE_NOOP("TForm1", "自动换行"), "crc", 313, 22, 0, entries(Setting::AutoLineFeed), setting(Setting::AutoLineFeed)},
        {PanelId::Buzzer, "CheckBox5", 345, QT_TRANSLATE_NOOP("TForm1", "Tavo76针打蜂鸣器设置"), "bb", 340,
         QT_TRANSLATE_NOOP("TForm1", "蜂鸣器功能"), "bc", 342, 22, 0, entries(Setting::Buzzer), setting(Setting::Buzzer)},
        {PanelId::Reprint, "CheckBox3", 373, QT_TRANSLATE_NOOP("TForm1", "Tavo80重打禁用/启用"), "cdb", 368,
         QT_TRANSLATE_NOOP("TForm1", "纸尽自动重打功能"), "cdc", 370, 22, 0, entries(Setting::Reprint), setting(Setting::Reprint)},
        {PanelId::Emulation, "CheckBox4", 394, QT_TRANSLATE_NOOP("TForm1", "Tavo80仿真模式选择"), "msb", 397,
         QT_TRANSLATE_NOOP("TForm1", "仿真模式选择"), "msc", 399, 22, 0, entries(Setting::Emulation),
         setting(Setting::Emulation)},
        {PanelId::SmallFont, "CheckBox6", 422, QT_TRANSLATE_NOOP("TForm1", "Tavo58小字体是否有效"), "fontb", 425,
         QT_TRANSLATE_NOOP("TForm1", "小字体功能"), "fontc", 427, 22, 0, entries(Setting::SmallFont),
         setting(Setting::SmallFont)},
        {PanelId::StatusCheck, "CheckBox7", 459, QT_TRANSLATE_NOOP("TForm1", "Tavo串行接口状态检测"), "Button3", 454,
         QT_TRANSLATE_NOOP("TForm1", "串口状态检测"), nullptr, 0, 0, -1, {}, nullptr},
    };
    return rows;
}

const PanelRow &panelRow(PanelId id) { return panelRows()[static_cast<std::size_t>(id)]; }

QString panelBoxCaption(const PanelRow &row) { return Text::tr(row.boxCaption); }

QString panelButtonCaption(const PanelRow &row) { return Text::tr(row.buttonCaption); }

QStringList panelEntries(const PanelRow &row)
{
    QStringList out;
    for (const char *e : row.entries)
        out << Text::tr(e);
    return out;
}

std::vector<PanelWidgets> createPanels(QWidget *parent)
{
    std::vector<PanelWidgets> out;
    for (const PanelRow &row : panelRows()) {
        PanelWidgets w;
        w.box = makeCheckBox(parent, row.box, panelBoxCaption(row), kBoxLeft, row.boxTop, kBoxWidth, kBoxHeight);
        w.box->setFont(songti(14, true));
        fitCaption(w.box);
        w.button = makeButton(parent, row.button, panelButtonCaption(row), kButtonLeft, row.buttonTop, kButtonWidth,
                              kButtonHeight);
        w.button->setFont(songti(row.id == PanelId::StatusCheck ? 16 : 14));
        if (row.dropDown) {
            w.dropDown = place<DropDown>(parent, row.dropDown, kDropLeft, row.dropTop, kDropWidth, row.dropHeight);
            w.dropDown->setFont(songti(row.id == PanelId::PaperWidth ? 16 : 14));
            w.dropDown->addItems(panelEntries(row));
            w.dropDown->selectEntry(row.initialEntry);
        }
        enablePanel(w, false);
        out.push_back(w);
    }
    return out;
}

void enablePanel(const PanelWidgets &row, bool enabled)
{
    row.button->setEnabled(enabled);
    if (row.dropDown)
        row.dropDown->setEnabled(enabled);
}
