#include "devices/tledf.h"

#include "ui/artwork.h"
#include "core/gb2312.h"
#include "ui/widgets.h"
#include "devices/ledcommands.h"

Tledf::Tledf(ToolHost &host) : ToolWindow(host, "ledf", 476, 337)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    move(192, 114);
    auto *b1 = makeButton(this, "Button1", tr("关    闭"), 144, 248, 161, 41);
    b1->setFont(songti(21, true));
    const struct {
        const char *name;
        QString text;
        int top;
    } buttons[] = {
        {"Button2", tr("亮 单价"), 8},  {"Button3", tr("亮 总计"), 48}, {"Button4", tr("显示 金额"), 87},
        {"Button5", tr("清屏"), 128},   {"Button6", tr("清光标行"), 168}, {"Button7", tr("初始化 LED"), 208},
    };
    for (const auto &b : buttons)
        makeButton(this, b.name, b.text, 144, b.top, 161, 33)->setFont(songti(14));
    m_edit1 = makeEdit(this, "Edit1", QStringLiteral("12345678"), 312, 88, 105, 30);
    m_edit1->setMaxLength(9);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(19);
    m_edit1->setFont(arial);
    m_edit1->setStyleSheet(QStringLiteral("color: blue;"));
    // Tab order as in the layout: Edit1 comes right after Button4.
    setTabOrder(findChild<QWidget *>(QStringLiteral("Button4")), m_edit1);
    setTabOrder(m_edit1, findChild<QWidget *>(QStringLiteral("Button5")));
    auto *image = makeLabel(this, "Image1", QString(), 328, 248);
    image->setPixmap(QPixmap::fromImage(drawLedDecoration()));
    image->resize(137, 49);

    auto button = [this](const char *name) { return findChild<QAbstractButton *>(QLatin1String(name)); };
    connectClick(button("Button1"), &Tledf::Button1Click);
    connectClick(button("Button2"), &Tledf::Button2Click);
    connectClick(button("Button3"), &Tledf::Button3Click);
    connectClick(button("Button4"), &Tledf::Button4Click);
    connectClick(button("Button5"), &Tledf::Button5Click);
    connectClick(button("Button6"), &Tledf::Button6Click);
    connectClick(button("Button7"), &Tledf::Button7Click);
    FormCreate();
}

void Tledf::FormCreate() { setWindowTitle(tr("Tavo-K3 LED 客显演示")); }

void Tledf::Button1Click() { close(); }
void Tledf::Button2Click() { sendLed(buildLedUnitPrice()); }
void Tledf::Button3Click() { sendLed(buildLedTotal()); }
void Tledf::Button4Click() { sendLed(buildLedAmount(toGb2312(m_edit1->text()))); }
void Tledf::Button5Click() { sendLed(buildLedClear()); }
void Tledf::Button6Click() { sendLed(buildLedClearLine()); }
void Tledf::Button7Click() { sendLed(buildLedInit()); }

void Tledf::sendLed(const ByteString &command)
{
    m_host.CommandBuffer() = command;
    const Route route = toolRoute();
    // The display hangs on the printer's serial or parallel line; the network
    // printer library cannot reach it. Every serial port is served, and the
    // operator is told when the chosen port cannot carry the command.
    if (!ledRouteServes(route)) {
        message(ledNeedsSerialPort());
        return;
    }
    sendAlong(route, m_host.CommandBuffer());
}
