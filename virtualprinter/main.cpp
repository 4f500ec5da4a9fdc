// tavo-virtual-printer: a Tavo printer without the printer, on TCP, a
// pseudo-terminal and a FIFO, with a window or --headless.
#include "virtualprinter/host.h"
#include "virtualprinter/window.h"

#include "core/console.h"
#include "core/language.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>

#include <atomic>
#include <csignal>
#include <memory>

namespace {

std::atomic<bool> g_stop{false};

void requestStop(int) { g_stop = true; }

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    vp::Options options;
    QString error;
    bool headless = false;
    QTextStream out(stdout), err(stderr);
    if (args.contains(QStringLiteral("--help")) || !vp::parseOptions(args, options, error, headless)) {
        if (!error.isEmpty())
            err << "tavo-virtual-printer: " << error << "\n";
        (error.isEmpty() ? out : err)
            << "Usage: tavo-virtual-printer [--headless] [--tcp HOST:PORT] [--serial LINK [--paced]] [--parallel FIFO]\n"
               "       [--model tavo80|tavo58|tavo76|k3] [--status online|offline|paper-end|silent]\n"
               "       [--state FILE] [--out DIR]\n"
               "Listens on 127.0.0.1:9100 when no line is named.\n";
        return finishOutput(out, "tavo-virtual-printer", error.isEmpty() ? 0 : 1);
    }
    std::unique_ptr<QCoreApplication> app;
    if (headless) {
        // Drawing text needs fonts, and fonts need a GUI application; the
        // offscreen platform gives one without a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QApplication>(argc, argv);
    }
    const Language runLanguage = languageFor(QLocale::system());
    const Translations language(runLanguage);
    // The printer's log speaks one language: in a Chinese run the decoder's
    // texts are Chinese too, as its own notes are.
    QTranslator printerLog;
    if (runLanguage == Language::Chinese &&
        printerLog.load(QStringLiteral("tavo_zh_printer"), QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(&printerLog);
    // Without a window nothing shows a receipt once its PNG is written.
    if (headless)
        options.keepReceipts = 0;
    vp::Host host(options);
    try {
        host.start();
    } catch (const std::exception &e) {
        err << "tavo-virtual-printer: " << e.what() << "\n";
        return 1;
    }
    for (const QString &line : host.describeLines())
        out << line << "\n";
    // A script waits for these lines to know where the printer listens.
    if (finishOutput(out, "tavo-virtual-printer", 0) != 0)
        return 1;
    std::unique_ptr<vp::PrinterWindow> window;
    if (!headless) {
        window = std::make_unique<vp::PrinterWindow>(host);
        window->show();
    }
    // SIGINT and SIGTERM end the run cleanly: lines closed, state written.
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (g_stop)
            app->quit();
    });
    watch.start(50);
    const int status = app->exec();
    host.endJob();
    return finishOutput(out, "tavo-virtual-printer", status);
}
