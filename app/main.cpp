#include "app/errors.h"
#include "app/outside.h"
#include "app/program.h"
#include "app/tform1.h"

#include <QDir>
#include <QFont>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    TavoApplication app(argc, argv);
    // The layouts ask for "宋体"; where it is missing a CJK font stands in.
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Zen Hei"),
                                                      QStringLiteral("Noto Sans CJK SC")});
    QTranslator translator;
    if (translator.load(QLocale::system(), QStringLiteral("tavo"), QStringLiteral("_"),
                        QCoreApplication::applicationDirPath() + QStringLiteral("/translations")))
        QCoreApplication::installTranslator(&translator);
    QApplication::setApplicationName(applicationTitle());

    DesktopOutside outside;
    app.setOutside(&outside);
    Program program(outside);
    program.form1->show();
    const int rc = app.exec();
    app.setOutside(nullptr);
    return rc;
}
