#include "core/errors.h"
#include "ui/application.h"
#include "core/language.h"
#include "ui/desktopoutside.h"
#include "app/program.h"
#include "app/tform1.h"

#include <QDir>
#include <QFont>
#include <QTimer>

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> g_quit{false};

void requestQuit(int) { g_quit = true; }

} // namespace

int main(int argc, char *argv[])
{
    TavoApplication app(argc, argv);
    // The layouts ask for "宋体"; where it is missing a CJK font stands in.
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Zen Hei"),
                                                      QStringLiteral("Noto Sans CJK SC")});
    const Translations language(languageFor(QLocale::system()));
    QApplication::setApplicationName(applicationTitle());

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
