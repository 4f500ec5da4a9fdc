#pragma once
// The last line of defence for events that do not pass through guarded():
// an exception that reaches Qt's event loop is shown in the error box.
#include <QApplication>

class Outside;

class TavoApplication : public QApplication {
public:
    TavoApplication(int &argc, char **argv);
    // The names a desktop knows the program by: the windows' class "tavo",
    // as the desktop entry's StartupWMClass says, so that their windows group
    // under its icon; the entry's own name for Wayland. Window titles keep
    // the program's title. Call once the language is chosen.
    void nameForDesktop();
    static constexpr const char *kDesktopEntry = "example.tavo_printers.tavotool";
    void setOutside(Outside *outside) { m_outside = outside; }
    bool notify(QObject *receiver, QEvent *event) override;

private:
    Outside *m_outside = nullptr;
};
