#pragma once
// The application-wide error display. Every handler runs inside guarded(),
// so an exception ends the handler, is shown in the error box, and never
// unwinds through Qt's event loop.
#include <QApplication>
#include <QString>

#include <exception>
#include <stdexcept>

class Outside;
class QWidget;

// The program's own failures, with a text already in the operator's language.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString &message);
};

QString applicationTitle();

// The error box text of an exception: translated, with a full stop added
// when the last character sorts after ".".
QString describeError(std::exception_ptr error);
void reportError(Outside &outside, QWidget *parent, std::exception_ptr error);

template <class F> void guarded(Outside &outside, QWidget *parent, F &&handler)
{
    try {
        handler();
    } catch (...) {
        reportError(outside, parent, std::current_exception());
    }
}

// The last line of defence for events that do not pass through guarded().
class TavoApplication : public QApplication {
public:
    TavoApplication(int &argc, char **argv);
    void setOutside(Outside *outside) { m_outside = outside; }
    bool notify(QObject *receiver, QEvent *event) override;

private:
    Outside *m_outside = nullptr;
};
