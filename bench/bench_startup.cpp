// Start of the program up to the main window shown, once; bench/startup.sh
// runs it repeatedly and reports the wall time of whole process starts.
#include "core/errors.h"
#include "ui/application.h"
#include "ui/desktopoutside.h"
#include "app/program.h"
#include "app/tform1.h"

#include <QElapsedTimer>
#include <QTest>

#include <cstdio>

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    TavoApplication app(argc, argv);
    DesktopOutside outside;
    Program program(outside);
    program.form1->show();
    const bool shown = QTest::qWaitForWindowExposed(program.form1.get());
    std::printf("%s %.3f ms in process\n", shown ? "shown" : "not-shown", clock.nsecsElapsed() / 1e6);
    return shown ? 0 : 1;
}
