#pragma once
// The application-wide error display. Every handler runs inside guarded(),
// so an exception ends the handler, is shown in the error box, and never
// unwinds through Qt's event loop.
#include <QString>

#include <cstdint>
#include <exception>
#include <stdexcept>

class Outside;
class QObject;

// The program's own failures, with a text already in the operator's language.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString &message);
};

// A failure with a line below its own text that names what failed and why,
// in the operator's words: the device path, the cause, how far it got.
class DetailedError : public std::exception {
public:
    DetailedError(std::exception_ptr cause, const QString &detail) : m_cause(std::move(cause)), m_detail(detail) {}
    const char *what() const noexcept override { return "detailed error"; }
    std::exception_ptr cause() const { return m_cause; }
    const QString &detail() const { return m_detail; }

private:
    std::exception_ptr m_cause;
    QString m_detail;
};
// Throws `detail` under the exception being handled.
[[noreturn]] void rethrowWithDetail(const QString &detail);

// The operator cancelled a transfer; not an error, told in a plain message.
class TransferCancelled : public std::exception {
public:
    TransferCancelled(std::uint64_t doneBytes, std::uint64_t totalBytes) : done(doneBytes), total(totalBytes) {}
    const char *what() const noexcept override { return "transfer cancelled"; }
    QString message() const;
    std::uint64_t done, total;
};

// What the operator should do when a command stopped part-way: the printer
// may still be inside it. Empty when nothing or everything went out.
QString unfinishedCommandText(std::uint64_t done, std::uint64_t total);
// `text` with that advice as a line of its own below, where it applies.
QString withUnfinishedCommandText(QString text, std::uint64_t done, std::uint64_t total);

QString applicationTitle();

// The error box text of an exception: translated, with a full stop added
// when the last character sorts after ".".
QString describeError(std::exception_ptr error);
void reportError(Outside &outside, QObject *parent, std::exception_ptr error);

template <class F> void guarded(Outside &outside, QObject *parent, F &&handler)
{
    try {
        handler();
    } catch (...) {
        reportError(outside, parent, std::current_exception());
    }
}
