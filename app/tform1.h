#pragma once
// The main window: port, baud rate and IP address, the command buttons and
// settings rows, and the clock. The serial component `cp`, the sender and the
// shared command buffer are the program's printer link; the tool windows are
// opened through the program.
#include "core/bytestring.h"
#include "core/dispatch.h"
#include "core/printerlink.h"
#include "ui/toolhost.h"
#include "settings/settingspanel.h"
#include "transport/comport.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

class DropDown;
class Outside;
class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

class TForm1 : public QWidget, public ToolHost {
    Q_OBJECT
public:
    TForm1(Outside &outside, PrinterLink &link);
    ~TForm1() override;

    void setToolWindows(ToolOpener *tools) { m_tools = tools; }

    Outside &outside() override { return m_outside; }
    TComPort &cp() { return m_link.cp(); }
    Sender &sender() override { return m_link.sender(); }
    // The one command string of the program; every command overwrites it.
    ByteString &CommandBuffer() override { return m_link.commandBuffer(); }
    PortChoice portChoice() const override;
    void choosePort(const QString &entry, const QString &baud, const QString &address = QString()) override;
    const QString &PortPrompt() const { return m_portPrompt; }

    DropDown *dk() const { return m_dk; }
    DropDown *sd() const { return m_sd; }
    QLineEdit *IPE() const { return m_IPE; }

    Route MainRoute() const { return mainRoute(portChoice()); }
    Route ToolRoute() const { return toolRoute(portChoice()); }
    // Shows the port prompt and returns false when dk's text is empty.
    bool PortChosen();
    // Puts `command` in the shared buffer and sends it the main window's way.
    void Dispatch(const ByteString &command) override;

    static QString webAddress();
    static QStringList codeWords();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void QButtonClick();
    void sdChange();
    // The tooltips of dk's entries and of dk: where each entry goes.
    void updatePortTips();
    void Timer1Timer();
    void FormMouseDown();
    void Button8Click();
    void Label17Click();

    void Button1Click();
    void OpenClick();
    void cutClick();
    void sztClick();
    void phClick();
    void stClick();
    void szt0Click();
    void ptClick();
    void st0Click();

    void dcbClick();
    void tcbClick();
    void lcbClick();
    void nvcbClick();
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void CheckBox5Click();
    void CheckBox6Click();
    void CheckBox7Click();
    void CheckBox8Click();
    void paperbClick();
    void sdbClick();
    void crbClick();
    void bbClick();
    void cdbClick();
    void msbClick();
    void fontbClick();
    void tbClick();
    void dbClick();
    void nvdClick();
    void lbClick();
    void Button3Click();
    void LogButtonClick();

    void createControls();
    void connectHandlers();
    void connectClick(QAbstractButton *button, void (TForm1::*handler)());
    const PanelWidgets &panel(PanelId id) const;
    void panelClick(PanelId id);
    void sendSetting(PanelId id);
    void showToolWindow(ToolOpener::Tool tool);

    Outside &m_outside;
    PrinterLink &m_link;
    QString m_portPrompt;

    DropDown *m_dk = nullptr;
    DropDown *m_sd = nullptr;
    QLineEdit *m_IPE = nullptr;
    QRadioButton *m_radio[3] = {};
    QLineEdit *m_edit1 = nullptr;
    QCheckBox *m_szt = nullptr;
    QCheckBox *m_szt0 = nullptr;
    QWidget *m_ph = nullptr, *m_st = nullptr, *m_pt = nullptr, *m_st0 = nullptr;
    DropDown *m_cbs = nullptr;
    QLineEdit *m_cst = nullptr;
    std::vector<PanelWidgets> m_panels;
    QLabel *m_label10 = nullptr;
    QLabel *m_label17 = nullptr;
    QLabel *m_statusPanels[3] = {};
    QWidget *m_statusBar = nullptr;
    QPlainTextEdit *m_memo = nullptr;
    QTimer m_timer;
    ToolOpener *m_tools = nullptr;
};
