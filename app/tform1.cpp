#include "app/tform1.h"

#include "ui/artwork.h"
#include "core/basiccommands.h"
#include "ui/dropdown.h"
#include "core/errors.h"
#include "core/outside.h"
#include "core/rtl.h"
#include "ui/widgets.h"
#include "settings/configcommands.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFrame>
#include <QGuiApplication>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>

namespace {

constexpr int kClientWidth = 765;
constexpr int kClientHeight = 626;
// The window's outer size with the usual frame; Qt sizes the client area.
constexpr int kOuterWidth = 773;
constexpr int kOuterHeight = 660;

} // namespace

TForm1::TForm1(Outside &outside, PrinterLink &link) : m_outside(outside), m_link(link)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(songti(16));
    createControls();
    connectHandlers();
    guarded(m_outside, this, [this] { FormCreate(); });
}

TForm1::~TForm1() = default;

QString TForm1::webAddress() { return QStringLiteral("https://tavo-printers.example/"); }

QStringList TForm1::codeWords() { return {"TavoAbout", "tavo-dev", "V4.0#info"}; }

void TForm1::createControls()
{
    makeLabel(this, "Label1", tr("选择通讯端口："), 18, 8);
    m_dk = place<DropDown>(this, "dk", 18, 28, 159, 22);
    m_dk->addItems({"LPT1", "LPT2", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "Ethernet"});
    m_dk->setMaxVisibleItems(15);
    m_dk->selectEntry(0);
    makeLabel(this, "Label4", tr("选择波特率："), 192, 8);
    m_sd = place<DropDown>(this, "sd", 192, 28, 146, 22);
    m_sd->addItems(baudRateEntries());
    m_sd->selectEntry(2);
    makeLabel(this, "Label16", tr("IP 地址:"), 352, 8);
    m_IPE = makeEdit(this, "IPE", QStringLiteral("192.168.123.100"), 352, 27, 129, 24);
    m_radio[0] = makeRadio(this, "RadioButton1", tr("40/33"), 632, 8, 97, 17);
    m_radio[1] = makeRadio(this, "RadioButton2", tr("42/35"), 632, 24, 97, 17);
    m_radio[2] = makeRadio(this, "RadioButton3", tr("36/30"), 632, 40, 97, 17);
    m_radio[0]->setChecked(true);
    // The repeat count of the test print: a hidden field of the layout.
    m_edit1 = makeEdit(this, "Edit1", QStringLiteral("5"), 632, 60, 41, 24);
    m_edit1->hide();

    // Dot-matrix H parameter and default code page.
    m_szt = makeCheckBox(this, "szt", tr("设置针打H参数"), 16, 48, 172, 24);
    m_ph = makeButton(this, "ph", tr("打印 H"), 192, 55, 145, 26);
    m_st = makeButton(this, "st", tr("设置参数  T ="), 344, 55, 169, 26);
    m_cbs = place<DropDown>(this, "cbs", 520, 55, 65, 22);
    m_cbs->addItems({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F"});
    m_cbs->selectEntry(5);
    m_cbs->lineEdit()->setMaxLength(1);
    m_szt0 = makeCheckBox(this, "szt0", tr("设置默认代码页"), 16, 84, 172, 24);
    m_pt = makeButton(this, "pt", tr("打印默认代码页"), 192, 83, 145, 26);
    m_st0 = makeButton(this, "st0", tr("设置参数 t ="), 344, 83, 169, 26);
    m_cst = makeEdit(this, "cst", QStringLiteral("0"), 520, 83, 65, 24);
    m_cst->setMaxLength(3);
    for (QWidget *w : {m_ph, m_st, static_cast<QWidget *>(m_cbs), m_pt, m_st0, static_cast<QWidget *>(m_cst)})
        w->setEnabled(false);

    m_panels = createPanels(this);

    makeButton(this, "Button1", tr("打印测试(&P)"), 16, 496, 135, 45);
    makeButton(this, "Open", tr("开钱箱(&O)"), 160, 496, 135, 45);
    makeButton(this, "cut", tr("切纸(&C)"), 304, 496, 135, 45);
    makeButton(this, "QButton", tr("退出(&Q)"), 448, 496, 135, 45);
    makeButton(this, "Button8", tr("访问官方网站"), 592, 496, 135, 45);
    // The transfer log: right of the status check row, where the layout
    // leaves the column free.
    auto *log = makeButton(this, "LogButton", tr("传输记录"), 600, 454, 127, 26);
    log->setFont(songti(14));
    log->setToolTip(tr("每条发送到打印机的命令（Ctrl+L）"));

    auto *image2 = makeLabel(this, "Image2", QString(), 16, 552);
    image2->setPixmap(QPixmap::fromImage(drawMainLogo()));
    image2->adjustSize();

    auto *label17 = new ClickLabel(this);
    label17->setObjectName(QStringLiteral("Label17"));
    label17->move(500, 548);
    label17->setStyleSheet(QStringLiteral("color: green;"));
    label17->setCursor(Qt::PointingHandCursor);
    m_label17 = label17;
    m_label10 = makeLabel(this, "Label10", QString(), 500, 572);
    m_label10->setStyleSheet(QStringLiteral("color: blue; font-weight: bold;"));

    auto *bar = place<QFrame>(this, "StatusBar1", 0, kClientHeight - 27, kClientWidth, 27);
    bar->setFrameShape(QFrame::StyledPanel);
    const int widths[3] = {200, 200, 50};
    for (int i = 0, x = 0; i < 3; x += widths[i], ++i) {
        m_statusPanels[i] = place<QLabel>(bar, i == 0 ? "StatusPanel0" : (i == 1 ? "StatusPanel1" : "StatusPanel2"),
                                          x, 0, widths[i], 27);
        m_statusPanels[i]->setAlignment(Qt::AlignCenter);
        m_statusPanels[i]->setFrameShape(QFrame::Panel);
        m_statusPanels[i]->setFrameShadow(QFrame::Sunken);
    }
    m_statusBar = bar;

    m_memo = place<QPlainTextEdit>(this, "Memo1", 520, 232, 241, 161);
    m_memo->setReadOnly(true);
    m_memo->setFrameShape(QFrame::NoFrame);
    m_memo->setStyleSheet(QStringLiteral("background: palette(window);"));
    m_memo->hide();

    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(1000);
    m_timer.start();
}

void TForm1::connectClick(QAbstractButton *button, void (TForm1::*handler)())
{
    connect(button, &QAbstractButton::clicked, this, [this, handler] { guarded(m_outside, this, [&] { (this->*handler)(); }); });
}

void TForm1::connectHandlers()
{
    auto button = [this](const char *name) { return findChild<QAbstractButton *>(QLatin1String(name)); };
    const std::pair<const char *, void (TForm1::*)()> clicks[] = {
        {"QButton", &TForm1::QButtonClick},   {"Button8", &TForm1::Button8Click},
        {"Button1", &TForm1::Button1Click},   {"Open", &TForm1::OpenClick},
        {"cut", &TForm1::cutClick},           {"szt", &TForm1::sztClick},
        {"ph", &TForm1::phClick},             {"st", &TForm1::stClick},
        {"szt0", &TForm1::szt0Click},         {"pt", &TForm1::ptClick},
        {"st0", &TForm1::st0Click},           {"dcb", &TForm1::dcbClick},
        {"tcb", &TForm1::tcbClick},           {"lcb", &TForm1::lcbClick},
        {"nvcb", &TForm1::nvcbClick},         {"CheckBox1", &TForm1::CheckBox1Click},
        {"CheckBox2", &TForm1::CheckBox2Click}, {"CheckBox3", &TForm1::CheckBox3Click},
        {"CheckBox4", &TForm1::CheckBox4Click}, {"CheckBox5", &TForm1::CheckBox5Click},
        {"CheckBox6", &TForm1::CheckBox6Click}, {"CheckBox7", &TForm1::CheckBox7Click},
        {"CheckBox8", &TForm1::CheckBox8Click}, {"paperb", &TForm1::paperbClick},
        {"sdb", &TForm1::sdbClick},           {"crb", &TForm1::crbClick},
        {"bb", &TForm1::bbClick},             {"cdb", &TForm1::cdbClick},
        {"msb", &TForm1::msbClick},           {"fontb", &TForm1::fontbClick},
        {"tb", &TForm1::tbClick},             {"db", &TForm1::dbClick},
        {"nvd", &TForm1::nvdClick},           {"lb", &TForm1::lbClick},
        {"Button3", &TForm1::Button3Click},   {"LogButton", &TForm1::LogButtonClick},
    };
    for (const auto &c : clicks)
        connectClick(button(c.first), c.second);
    auto *logKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(logKey, &QShortcut::activated, this, [this] { guarded(m_outside, this, [this] { LogButtonClick(); }); });
    connect(static_cast<ClickLabel *>(m_label17), &ClickLabel::clicked, this,
            [this] { guarded(m_outside, this, [this] { Label17Click(); }); });
    connect(m_sd, &QComboBox::currentTextChanged, this, [this] { guarded(m_outside, this, [this] { sdChange(); }); });
    connect(m_dk, &DropDown::aboutToShowPopup, this, [this] { guarded(m_outside, this, [this] { updatePortTips(); }); });
    connect(m_dk, &QComboBox::currentTextChanged, this, [this] { guarded(m_outside, this, [this] { updatePortTips(); }); });
    connect(&m_timer, &QTimer::timeout, this, [this] { guarded(m_outside, this, [this] { Timer1Timer(); }); });
}

void TForm1::FormCreate()
{
    m_label17->setText(webAddress());
    m_label17->adjustSize();
    resize(kClientWidth, kClientHeight);
    setFixedSize(kClientWidth, kClientHeight);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(placeOnScreen(area, QSize(kOuterWidth, kOuterHeight)));
    }
    m_portPrompt = tr("NOTICE:Please select the correct communication port!");
    findChild<QAbstractButton *>(QStringLiteral("tb"))->setText(tr("串口") + panelButtonCaption(panelRow(PanelId::SerialSpeed)));
    setWindowTitle(tr("Tavo 系列打印机测试设置程序 V4.0"));
    for (const PanelRow &row : panelRows()) {
        auto *box = findChild<QAbstractButton *>(QLatin1String(row.box));
        box->setText(panelBoxCaption(row));
        fitCaption(box);
    }
    // tc starts with a text that is no entry: nothing is selected.
    DropDown *tc = panel(PanelId::SerialSpeed).dropDown;
    tc->setCurrentIndex(-1);
    tc->setEditText(QStringLiteral("1: 9600bps"));
    updatePortTips();
    m_label10->setText(tr("Tavo 系列打印机 测试与设置工具"));
    m_label10->adjustSize();
    const QStringList lines = {
        tr("Tavo 系列打印机测试设置程序"), tr("版本 V4.0"), tr("适用机型：Tavo58 / Tavo76 / Tavo80 / Tavo-K3"),
        tr("通讯方式：并口、串口、以太网"), tr("串口默认：8 数据位，无校验，1 停止位"), tr("流控：XON/XOFF"),
        tr("以太网端口：9100"),           tr("技术支持：") + webAddress(),   tr("仅供技术人员使用")};
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    m_memo->setPlainText(text);
}

void TForm1::QButtonClick()
{
    close();
    QCoreApplication::quit();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (m_tools)
        m_tools->hideAll();
}

void TForm1::updatePortTips()
{
    // Worked out afresh each time: an adapter plugged in shows at once.
    for (int i = 0; i < m_dk->count(); ++i) {
        const std::string entry = m_dk->itemText(i).toStdString();
        const QString tip = routeKindForIndex(i) == Route::Network
                                ? QString()
                                : QString::fromStdString(m_outside.deviceNames().describe(entry));
        m_dk->setItemData(i, tip, Qt::ToolTipRole);
    }
    const int index = m_dk->selectedIndex();
    m_dk->setToolTip(index >= 0 ? m_dk->itemData(index, Qt::ToolTipRole).toString() : QString());
}

void TForm1::sdChange() { cp().SetBaudRate(BaudRateFromText(m_sd->currentText().toStdString())); }

void TForm1::Timer1Timer()
{
    QFont f = m_statusBar->font();
    f.setPointSize(12);
    m_statusBar->setFont(f);
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    m_statusPanels[0]->setText(locale.toString(now.date(), QLocale::ShortFormat));
    m_statusPanels[1]->setText(locale.toString(now.time(), QLocale::LongFormat));
}

void TForm1::mousePressEvent(QMouseEvent *event)
{
    guarded(m_outside, this, [this] { FormMouseDown(); });
    QWidget::mousePressEvent(event);
}

void TForm1::FormMouseDown()
{
    if (codeWords().contains(m_IPE->text(), Qt::CaseSensitive))
        m_memo->show();
}

void TForm1::Button8Click() { m_outside.openUrl(QUrl(webAddress())); }

void TForm1::Label17Click() { m_outside.openUrl(QUrl(webAddress())); }

// ---- routes and the output dispatch ----

void TForm1::choosePort(const QString &entry, const QString &baud, const QString &address)
{
    m_dk->selectEntry(m_dk->findText(entry));
    if (!baud.isEmpty())
        m_sd->selectEntry(m_sd->findText(baud));
    if (!address.isEmpty())
        m_IPE->setText(address);
    updatePortTips();
}

PortChoice TForm1::portChoice() const
{
    PortChoice c;
    c.index = m_dk->selectedIndex();
    c.entry = m_dk->entryText(c.index);
    c.shown = m_dk->shownText();
    c.baudEntry = m_sd->selectedEntry();
    c.baudShown = m_sd->shownText();
    c.address = m_IPE->text();
    return c;
}

bool TForm1::PortChosen()
{
    if (!m_dk->currentText().isEmpty())
        return true;
    m_outside.showMessage(this, m_portPrompt);
    return false;
}

void TForm1::Dispatch(const ByteString &command)
{
    CommandBuffer() = command;
    if (!PortChosen())
        return;
    sender().send(this, MainRoute(), CommandBuffer());
}

// ---- basic commands ----

void TForm1::Button1Click()
{
    if (!PortChosen())
        return;
    const bool widths[3] = {m_radio[0]->isChecked(), m_radio[1]->isChecked(), m_radio[2]->isChecked()};
    Dispatch(buildTestPrint(StrToInt(m_edit1->text()), widths));
}

void TForm1::OpenClick()
{
    if (PortChosen())
        Dispatch(buildCashDrawer());
}

void TForm1::cutClick()
{
    if (PortChosen())
        Dispatch(buildCut());
}

// ---- dot-matrix H parameter and default code page ----

void TForm1::sztClick()
{
    const bool on = m_szt->isChecked();
    for (QWidget *w : {m_ph, m_st, static_cast<QWidget *>(m_cbs)})
        w->setEnabled(on);
}

void TForm1::szt0Click()
{
    const bool on = m_szt0->isChecked();
    for (QWidget *w : {m_pt, m_st0, static_cast<QWidget *>(m_cst)})
        w->setEnabled(on);
}

void TForm1::phClick() { Dispatch(buildPrintHParameter()); }

void TForm1::stClick()
{
    // Converted before the port is looked at: a bad value is reported even
    // when no port is chosen.
    const int value = StrToInt(QStringLiteral("$") + m_cbs->currentText());
    Dispatch(buildSetHParameter(value));
}

void TForm1::ptClick()
{
    if (PortChosen())
        Dispatch(buildPrintCodePage());
}

void TForm1::st0Click()
{
    if (!PortChosen())
        return;
    Dispatch(buildSetCodePage(StrToInt(m_cst->text())));
}

// ---- settings rows ----

const PanelWidgets &TForm1::panel(PanelId id) const { return m_panels[static_cast<std::size_t>(id)]; }

void TForm1::panelClick(PanelId id)
{
    const PanelWidgets &row = panel(id);
    enablePanel(row, row.box->isChecked());
}

void TForm1::dcbClick() { panelClick(PanelId::BlackMark); }
void TForm1::nvcbClick() { panelClick(PanelId::NvLogo); }
void TForm1::CheckBox1Click() { panelClick(PanelId::Density); }
void TForm1::CheckBox2Click() { panelClick(PanelId::AutoLineFeed); }
void TForm1::CheckBox3Click() { panelClick(PanelId::Reprint); }
void TForm1::CheckBox4Click() { panelClick(PanelId::Emulation); }
void TForm1::CheckBox5Click() { panelClick(PanelId::Buzzer); }
void TForm1::CheckBox6Click() { panelClick(PanelId::SmallFont); }
void TForm1::CheckBox7Click() { panelClick(PanelId::StatusCheck); }
void TForm1::CheckBox8Click() { panelClick(PanelId::PaperWidth); }

void TForm1::tcbClick()
{
    panelClick(PanelId::SerialSpeed);
    if (panel(PanelId::SerialSpeed).box->isChecked()) {
        m_dk->selectEntry(2); // COM1
        m_sd->selectEntry(2); // 9600
    }
}

void TForm1::lcbClick()
{
    panelClick(PanelId::Led);
    if (panel(PanelId::Led).box->isChecked()) {
        m_dk->selectEntry(2); // COM1
        m_sd->selectEntry(0); // 2400
    }
}

void TForm1::sendSetting(PanelId id)
{
    const PanelWidgets &row = panel(id);
    Dispatch(buildSettingCommand(*panelRow(id).setting, row.dropDown->selectedIndex()));
}

void TForm1::paperbClick() { sendSetting(PanelId::PaperWidth); }
void TForm1::sdbClick() { sendSetting(PanelId::Density); }
void TForm1::crbClick() { sendSetting(PanelId::AutoLineFeed); }
void TForm1::bbClick() { sendSetting(PanelId::Buzzer); }
void TForm1::cdbClick() { sendSetting(PanelId::Reprint); }
void TForm1::msbClick() { sendSetting(PanelId::Emulation); }
void TForm1::fontbClick() { sendSetting(PanelId::SmallFont); }

void TForm1::tbClick()
{
    const Route::Kind kind = routeKindForIndex(m_dk->selectedIndex());
    if (kind == Route::Parallel || kind == Route::None) {
        m_outside.showMessage(this, serialSpeedNeedsSerial());
        return;
    }
    // The code is the first character of the text tc shows, not its entry.
    const QString text = panel(PanelId::SerialSpeed).dropDown->currentText();
    Dispatch(buildSerialSpeed(StrToInt(text.left(1))));
}

// ---- rows that open tool windows ----

void TForm1::showToolWindow(ToolOpener::Tool tool)
{
    if (m_tools)
        m_tools->show(tool);
}

void TForm1::dbClick() { showToolWindow(ToolOpener::Tool::BlackMark); }
void TForm1::nvdClick() { showToolWindow(ToolOpener::Tool::Logo); }
void TForm1::Button3Click() { showToolWindow(ToolOpener::Tool::Status); }
void TForm1::LogButtonClick() { showToolWindow(ToolOpener::Tool::Log); }

void TForm1::lbClick()
{
    if (!ledPortAccepted(portChoice())) {
        m_outside.showMessage(this, tr("You must select Serial Port for Tavo-K3's LED Display!!"));
        return;
    }
    if (m_sd->currentText() != QLatin1String("2400")) {
        m_outside.showMessage(this, tr("You must select 2400bps for Tavo-K3's LED Display!!"));
        return;
    }
    showToolWindow(ToolOpener::Tool::Led);
}
