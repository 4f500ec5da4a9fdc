// The virtual printer's window in this process: the roll grows with what
// arrives, and the state picked in it is what the status requests get.
#include "core/basiccommands.h"
#include "core/language.h"
#include "devices/statuscheck.h"
#include "transport/tavonetio/tavonetio.h"
#include "tests/support/virtualhost.h"
#include "virtualprinter/host.h"
#include "tests/support/captions.h"
#include "virtualprinter/window.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

TEST(VirtualPrinterWindow, ShowsTheRollAndAnswersWithThePickedState)
{
    vp::Options options;
    options.tcp = QStringLiteral("127.0.0.1:0");
    vp::Host host(options);
    host.start();
    const int port = tcpPortOf(host);
    ASSERT_GT(port, 0);
    vp::PrinterWindow window(host);
    window.show();

    const std::string address = "127.0.0.1:" + std::to_string(port);
    const bool w36[3] = {false, false, true};
    const ByteString job = buildTestPrint(2, w36) + buildCut();
    ASSERT_EQ(TavoNetOpen(address.c_str(), 5, 7), 1);
    TavoNetSend(reinterpret_cast<const uint8_t *>(job.data()), static_cast<int32_t>(job.size()));
    TavoNetClose();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.receipts().size() == 1; }, 5000));
    const QPixmap roll = window.findChild<QLabel *>(QStringLiteral("RollImage"))->pixmap();
    EXPECT_EQ(roll.height(), host.receipts()[0].height() + 12);
    EXPECT_EQ(roll.width(), 576);
    auto *log = window.findChild<QPlainTextEdit *>(QStringLiteral("Log"));
    EXPECT_TRUE(log->toPlainText().contains(QStringLiteral("GS V")));

    auto *status = window.findChild<QComboBox *>(QStringLiteral("Status"));
    status->setCurrentIndex(status->findText(QStringLiteral("offline")));
    EXPECT_EQ(host.engine().status(), vp::Status::Offline);
    EXPECT_EQ(host.engine().feed(printerSeries(0).request), ByteString("\x1A"));
}

TEST(VirtualPrinterWindow, SpeaksEnglishInAnEnglishLocale)
{
    const Translations english(Language::English);
    vp::Options options;
    options.tcp = QStringLiteral("127.0.0.1:0");
    vp::Host host(options);
    host.start();
    const int port = tcpPortOf(host);
    vp::PrinterWindow window(host);
    window.show();
    const ByteString drawer = buildCashDrawer();
    ASSERT_EQ(TavoNetOpen(("127.0.0.1:" + std::to_string(port)).c_str(), 5, 7), 1);
    TavoNetSend(reinterpret_cast<const uint8_t *>(drawer.data()), static_cast<int32_t>(drawer.size()));
    TavoNetClose();
    auto *log = window.findChild<QPlainTextEdit *>(QStringLiteral("Log"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return log->toPlainText().contains(QStringLiteral("Drawer pulse")); }, 5000))
        << log->toPlainText().toStdString();
    expectEnglish(captionsOf(&window), Fit::NotMeasured); // its layout sizes the controls
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tavo virtual printer"));

}
