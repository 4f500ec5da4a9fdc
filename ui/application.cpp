#include "ui/application.h"

#include "core/errors.h"

TavoApplication::TavoApplication(int &argc, char **argv) : QApplication(argc, argv) {}

void TavoApplication::nameForDesktop()
{
    setApplicationName(QStringLiteral("tavo"));
    setApplicationDisplayName(applicationTitle());
    setDesktopFileName(QLatin1String(kDesktopEntry));
}

bool TavoApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (m_outside)
            reportError(*m_outside, nullptr, std::current_exception());
        return false;
    }
}
