#include "core/console.h"
#include "core/errors.h"
#include "ui/application.h"
#include "core/language.h"
#include "ui/desktopoutside.h"
#include "app/program.h"
#include "app/tform1.h"

#include <QDir>
#include <QFont>
#include <QTextStream>
#include <QTimer>

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> g_quit{false};

void requestQuit(int) { g_quit = true; }

// `tavo --help` and `--version` answer without a display, before any window
// system is asked for.
int answerWithoutWindows(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a != "--help" && a != "-h" && a != "--version")
            continue;
        QTextStream out(stdout);
        if (a == "--version")
            out << "tavo " << TAVO_VERSION << "\n";
        else
            out << "Usage: tavo [Qt options]\n"
                   "Tests and configures Tavo receipt printers: pick a connection (parallel port, serial port with a baud\n"
                   "rate, or Ethernet) and press a button; one exact command goes to the printer.\n"
                   "  --help     this text\n"
                   "  --version  the program's version\n"
                   "The serial ports COM1 to COM8 map to devices as ~/.config/tavo/ports.conf says; see tavo-cli(1) for\n"
                   "the same commands from a shell.\n";
        return finishOutput(out, "tavo", 0);
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const int answered = answerWithoutWindows(argc, argv); answered >= 0)
        return answered;
    TavoApplication app(argc, argv);
    // The layouts ask for "宋体"; where it is missing a CJK font stands in.
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Zen Hei"),
                                                      QStringLiteral("Noto Sans CJK SC")});
    const Translations language(languageFor(QLocale::system()));
    app.nameForDesktop();

    DesktopOutside outside;
    app.setOutside(&outside);
    Program program(outside);
    program.form1->show();
    // The end of a session (SIGTERM) or Ctrl+C closes the program as its
    // exit button does.
    std::signal(SIGTERM, requestQuit);
    std::signal(SIGINT, requestQuit);
    QTimer quitWatch;
    QObject::connect(&quitWatch, &QTimer::timeout, &app, [&app] {
        if (g_quit)
            app.quit();
    });
    quitWatch.start(100);
    const int rc = app.exec();
    app.setOutside(nullptr);
    return rc;
}
