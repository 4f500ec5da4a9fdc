// Every window in both languages: in English no control still speaks Chinese
// and no caption is cut off by its control; in the C locale the Chinese texts
// stand exactly as written. (The printer's own texts, the black-mark
// demonstration lines, are in no control: they go to the printer as written.)
#include "core/gb2312.h"
#include "core/language.h"
#include "app/tlogf.h"
#include "tests/support/bmpwriter.h"
#include "tests/support/captions.h"
#include "tests/support/clirun.h"
#include "tests/support/programfixture.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>

namespace {

class Languages : public ProgramTest {
protected:
    std::vector<QWidget *> windows()
    {
        return {program->form1.get(), program->bmf.get(), program->ledf.get(),
                program->nvf.get(),   program->form2.get(), program->logf.get()};
    }
    std::vector<Caption> everyCaption()
    {
        std::vector<Caption> all;
        for (QWidget *w : windows()) {
            w->show();
            for (Caption &c : captionsOf(w))
                all.push_back(std::move(c));
        }
        return all;
    }
};

class InEnglish : public Languages {
protected:
    Translations english{Language::English};
};

class InTheCLocale : public Languages {
protected:
    Translations chinese{languageFor(QLocale::c())};
};

} // namespace

TEST(LanguageChoice, EnglishOnlyWhereTheUserAsksForItBeforeChinese)
{
    EXPECT_EQ(languageFor(QLocale::c()), Language::Chinese);
    EXPECT_EQ(languageFor(QLocale(QStringLiteral("zh_CN"))), Language::Chinese);
    EXPECT_EQ(languageFor(QLocale(QStringLiteral("en_GB"))), Language::English);
    EXPECT_EQ(languageFor(QLocale(QStringLiteral("en_US"))), Language::English);
    EXPECT_EQ(languageFor(QLocale(QStringLiteral("de_DE"))), Language::Chinese);
}

TEST(LanguageChoice, QtsOwnButtonsFollow)
{
    const auto okText = [] {
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        return box.button(QDialogButtonBox::Ok)->text() + QLatin1Char('|') +
               box.button(QDialogButtonBox::Cancel)->text();
    };
    {
        const Translations chinese(Language::Chinese);
        EXPECT_EQ(okText(), QStringLiteral("确定|取消"));
    }
    const Translations english(Language::English);
    EXPECT_EQ(okText(), QStringLiteral("OK|Cancel"));
}

TEST_F(InEnglish, NoControlSpeaksChineseAndEveryCaptionFits)
{
    expectEnglish(everyCaption());
}

TEST_F(InEnglish, TheLogoWindowsLoadTimeTextsFit)
{
    // Just under the load limit: the window says that the download, one row
    // longer, will not fit.
    const std::string path = dir + "/tall.bmp";
    bmp::write(path, bmp::encode(Picture(400, 992), 24, false));
    outside.nextFiles << QString::fromStdString(path);
    click(program->nvf.get(), "BitBtn1");
    ASSERT_TRUE(outside.messages.isEmpty()) << outside.messages.join("|").toStdString();
    expectEnglish(captionsOf(program->nvf.get()));
    EXPECT_EQ(child<QLabel>(program->nvf.get(), "NvNotice")->text(),
              QStringLiteral("Needs 50000 bytes: over the NV logo limit"));
}

TEST_F(InEnglish, TheStatusWindowsVerdictFits)
{
    click("CheckBox7");
    click("Button3");
    pick(form1()->dk(), "COM3");
    click(program->form2.get(), "Button2"); // the printer behind COM3 does not answer
    EXPECT_EQ(child<QLabel>(program->form2.get(), "Label2")->text(), QStringLiteral("No printer detected!"));
    expectEnglish(captionsOf(program->form2.get()));
}

TEST_F(InEnglish, MessagesAndErrorsSpeakEnglish)
{
    pick(form1()->dk(), "Ethernet");
    type(form1()->IPE(), QStringLiteral(":0"));
    click("Open");
    // The network library's own message stays; the detail is the program's.
    EXPECT_EQ(outside.messages, QStringList{"Connect error\nNo IP address before the colon; the port 0 is out of range "
                                            "(1 to 65535)."});
    outside.clear();
    click("dcb");
    click("db");
    type(child<QLineEdit>(program->bmf.get(), "Edit2"), QStringLiteral("100.1"));
    click(program->bmf.get(), "Button3");
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("The paper cannot go back more than 100 mm!!")});
    outside.clear();
    pick(form1()->dk(), "COM5");
    click("Open");
    EXPECT_EQ(outside.errors, QStringList{"Unable to open com port (win error code: 2)\nCOM5: no serial device for "
                                          "this port."});
    // The command line takes a row's entry as the window shows it in English.
    const CliRun shown = runCliHere(outside, {"--port", "COM3", "--dry-run", "small-font", "Small font on (9*17)"});
    EXPECT_EQ(shown.status, kCliOk) << shown.err.toStdString();
    EXPECT_EQ(shown.out, runCliHere(outside, {"--port", "COM3", "--dry-run", "small-font", "on"}).out);
}

TEST_F(InEnglish, TheTransferDialogToo)
{
    pick(form1()->dk(), "COM3");
    click("cut"); // the line is configured once, so XOFF is understood
    ASSERT_TRUE(printer.waitFor(4));
    printer.sendXoff();
    std::vector<Caption> seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget *d = QApplication::activeModalWidget();
        auto *hold = d ? d->findChild<QLabel *>(QStringLiteral("TransferHold")) : nullptr;
        if (!hold || hold->text().isEmpty() || !seen.empty())
            return;
        seen = captionsOf(d);
        QTest::mouseClick(d->findChild<QAbstractButton *>(QStringLiteral("TransferCancel")), Qt::LeftButton);
    });
    watch.start(100);
    click("Button1"); // the 218-byte test print, held
    ASSERT_FALSE(seen.empty());
    expectEnglish(seen);
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("Sending cancelled: 0 / 218 bytes reached the printer.")});
    printer.sendXon();
}

TEST_F(InTheCLocale, TheChineseTextsStandAsWrittenAndFit)
{
    std::map<QString, QString> seen;
    for (const Caption &c : everyCaption()) {
        SCOPED_TRACE(c.where.toStdString() + " \"" + c.text.toStdString() + "\"");
        EXPECT_LE(c.needed, c.available);
        seen[c.where] = c.text;
    }
    const std::pair<const char *, const char *> written[] = {
        {"TForm1.Button1", "打印测试(&P)"},        {"TForm1.dcb", "Tavo76 针打黑标设置"},
        {"TForm1.db", "针打黑标控制设置"},         {"TForm1.CheckBox6", "Tavo58小字体是否有效"},
        {"TForm1.bc[0]", "启用"},                   {"TForm1.fontc[1]", "禁用小字体(9*17)"},
        {"Tnvf.RadioButton5", "原始"},             {"Tnvf.Button6", "转换后的数据TXT"},
        {"Tbmf.Button2", "起始打印位置在检测到黑标位置后前进"}, {"Tledf.Button1", "关    闭"},
        {"TForm2.RadioGroup1Item2", "Tavo-80XXX/Tavo-Q80XXX系列"}};
    for (const auto &[where, text] : written)
        EXPECT_EQ(seen[QString::fromLatin1(where)], QString::fromUtf8(text)) << where;
}

TEST_F(InEnglish, WhatThePrinterPrintsStaysAsWritten)
{
    click("dcb");
    click("db");
    click(program->bmf.get(), "Button6");
    EXPECT_NE(lpt1Contents().find(std::string(toGb2312(QStringLiteral("开始打印")))), std::string::npos);
}
