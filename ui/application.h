#pragma once
// The last line of defence for events that do not pass through guarded():
// an exception that reaches Qt's event loop is shown in the error box.
#include <QApplication>

class Outside;

class TavoApplication : public QApplication {
public:
    TavoApplication(int &argc, char **argv);
    void setOutside(Outside *outside) { m_outside = outside; }
    bool notify(QObject *receiver, QEvent *event) override;

private:
    Outside *m_outside = nullptr;
};
