#include "settings/settingspanel.h"

#include "app/dropdown.h"
#include "app/widgets.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("TForm1", text); }

constexpr int kBoxLeft = 16, kBoxWidth = 172, kBoxHeight = 20;
constexpr int kButtonLeft = 192, kButtonWidth = 145, kButtonHeight = 26;
constexpr int kDropLeft = 344, kDropWidth = 169;

} // namespace

const std::vector<PanelRow> &panelRows()
{
    static const std::vector<PanelRow> rows = {
        {"dcb", 117, "db", 112, nullptr, 0, 0, -1},
        {"tcb", 141, "tb", 140, "tc", 142, 22, -1},
        {"lcb", 162, "lb", 169, nullptr, 0, 0, -1},
        {"nvcb", 198, "nvd", 197, nullptr, 0, 0, -1},
        {"CheckBox8", 231, "paperb", 226, "paperc", 227, 24, 1},
        {"CheckBox1", 288, "sdb", 283, "dc", 285, 22, 1},
        {"CheckBox2", 316, "crb", 311, "crc", 313, 22, 0},
        {"CheckBox5", 345, "bb", 340, "bc", 342, 22, 0},
        {"CheckBox3", 373, "cdb", 368, "cdc", 370, 22, 0},
        {"CheckBox4", 394, "msb", 397, "msc", 399, 22, 0},
        {"CheckBox6", 422, "fontb", 425, "fontc", 427, 22, 0},
        {"CheckBox7", 459, "Button3", 454, nullptr, 0, 0, -1},
    };
    return rows;
}

QString panelBoxCaption(const char *box)
{
    static const struct {
        const char *name;
        const char *caption;
    } captions[] = {
        {"dcb", QT_TRANSLATE_NOOP("TForm1", "Tavo76 针打黑标设置")},
        {"tcb", QT_TRANSLATE_NOOP("TForm1", "Tavo58系列串口设置")},
        {"lcb", QT_TRANSLATE_NOOP("TForm1", "Tavo-K3 LED显示")},
        {"nvcb", QT_TRANSLATE_NOOP("TForm1", "Tavo80 NV Logo演示")},
        {"CheckBox8", QT_TRANSLATE_NOOP("TForm1", "Tavo76打印纸宽选择")},
        {"CheckBox1", QT_TRANSLATE_NOOP("TForm1", "Tavo76针打浓度设置")},
        {"CheckBox2", QT_TRANSLATE_NOOP("TForm1", "Tavo76针打自动换行设置")},
        {"CheckBox5", QT_TRANSLATE_NOOP("TForm1", "Tavo76针打蜂鸣器设置")},
        {"CheckBox3", QT_TRANSLATE_NOOP("TForm1", "Tavo80重打禁用/启用")},
        {"CheckBox4", QT_TRANSLATE_NOOP("TForm1", "Tavo80仿真模式选择")},
        {"CheckBox6", QT_TRANSLATE_NOOP("TForm1", "Tavo58小字体是否有效")},
        {"CheckBox7", QT_TRANSLATE_NOOP("TForm1", "Tavo串行接口状态检测")},
    };
    for (const auto &c : captions)
        if (qstrcmp(c.name, box) == 0)
            return tr(c.caption);
    return QString();
}

QString panelButtonCaption(const char *button)
{
    static const struct {
        const char *name;
        const char *caption;
    } captions[] = {
        {"db", QT_TRANSLATE_NOOP("TForm1", "针打黑标控制设置")},
        {"tb", QT_TRANSLATE_NOOP("TForm1", "波特率设置")},
        {"lb", QT_TRANSLATE_NOOP("TForm1", "LED显示演示")},
        {"nvd", QT_TRANSLATE_NOOP("TForm1", "NV Logo下载")},
        {"paperb", QT_TRANSLATE_NOOP("TForm1", "打印纸宽选择")},
        {"sdb", QT_TRANSLATE_NOOP("TForm1", "设置打印浓度")},
        {"crb", QT_TRANSLATE_NOOP("TForm1", "自动换行")},
        {"bb", QT_TRANSLATE_NOOP("TForm1", "蜂鸣器功能")},
        {"cdb", QT_TRANSLATE_NOOP("TForm1", "纸尽自动重打功能")},
        {"msb", QT_TRANSLATE_NOOP("TForm1", "仿真模式选择")},
        {"fontb", QT_TRANSLATE_NOOP("TForm1", "小字体功能")},
        {"Button3", QT_TRANSLATE_NOOP("TForm1", "串口状态检测")},
    };
    for (const auto &c : captions)
        if (qstrcmp(c.name, button) == 0)
            return tr(c.caption);
    return QString();
}

QStringList panelEntries(const char *dropDown)
{
    // The entries are read back by the commands, so they are not translated.
    const QString name = QLatin1String(dropDown);
    if (name == QLatin1String("tc"))
        return {"0:4800bps", "1:9600bps", "2:19200bps", "3:38400bps", "4:57600bps", "5:115200bps", "6:2400bps"};
    if (name == QLatin1String("paperc"))
        return {"58mm", "76mm"};
    if (name == QLatin1String("dc"))
        return {"Light", "Normal", "Dark"};
    if (name == QLatin1String("msc"))
        return {"EPSON ESC/POS", "STAR(Line/T)"};
    if (name == QLatin1String("fontc"))
        return {QStringLiteral("启用小字体(9*17)"), QStringLiteral("禁用小字体(9*17)")};
    return {QStringLiteral("启用"), QStringLiteral("禁用")};
}

std::vector<PanelWidgets> createPanels(QWidget *parent)
{
    std::vector<PanelWidgets> out;
    for (const PanelRow &row : panelRows()) {
        PanelWidgets w;
        w.box = makeCheckBox(parent, row.box, panelBoxCaption(row.box), kBoxLeft, row.boxTop, kBoxWidth, kBoxHeight);
        w.box->setFont(songti(14, true));
        w.button = makeButton(parent, row.button, panelButtonCaption(row.button), kButtonLeft, row.buttonTop,
                              kButtonWidth, kButtonHeight);
        const bool windowFont = qstrcmp(row.button, "Button3") == 0;
        w.button->setFont(songti(windowFont ? 16 : 14));
        if (row.dropDown) {
            w.dropDown = place<DropDown>(parent, row.dropDown, kDropLeft, row.dropTop, kDropWidth, row.dropHeight);
            w.dropDown->setFont(songti(qstrcmp(row.dropDown, "paperc") == 0 ? 16 : 14));
            w.dropDown->addItems(panelEntries(row.dropDown));
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
