#include "core/errors.h"

#include "core/outside.h"
#include "transport/comport.h"
#include "transport/ioerror.h"

#include <QCoreApplication>

AppError::AppError(const QString &message) : std::runtime_error(message.toStdString()) {}

QString applicationTitle() { return QCoreApplication::translate("app", "Tavo 打印机测试设置程序 V3.0"); }

namespace {

QString rawText(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EComPort &e) {
        QString text = QCoreApplication::translate("EComPort", ComErrorText(e.Code));
        if (e.WinCode != -1)
            text += QCoreApplication::translate("EComPort", " (win error code: %1)").arg(e.WinCode);
        return text;
    } catch (const EInOutError &e) {
        switch (e.ErrorCode) {
        case 2: return QCoreApplication::translate("rtl", "File not found");
        case 3: return QCoreApplication::translate("rtl", "Invalid filename");
        case 4: return QCoreApplication::translate("rtl", "Too many open files");
        case 5: return QCoreApplication::translate("rtl", "File access denied");
        case 100: return QCoreApplication::translate("rtl", "Read beyond end of file");
        case 101: return QCoreApplication::translate("rtl", "Disk full");
        case 106: return QCoreApplication::translate("rtl", "Invalid numeric input");
        default: return QCoreApplication::translate("rtl", "I/O error %1").arg(e.ErrorCode);
        }
    } catch (const std::bad_alloc &) {
        return QCoreApplication::translate("rtl", "Out of memory");
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QCoreApplication::translate("rtl", "Unknown error");
    }
}

} // namespace

void rethrowWithDetail(const QString &detail) { throw DetailedError(std::current_exception(), detail); }

QString unfinishedCommandText(std::uint64_t done, std::uint64_t total)
{
    if (done == 0 || done >= total)
        return QString();
    return QCoreApplication::translate(
        "transfer", "打印机可能还在等待这条命令的其余部分：发下一条命令之前，请先关闭打印机再打开。");
}

QString withUnfinishedCommandText(QString text, std::uint64_t done, std::uint64_t total)
{
    const QString advice = unfinishedCommandText(done, total);
    if (!advice.isEmpty())
        text += QLatin1Char('\n') + advice;
    return text;
}

QString TransferCancelled::message() const
{
    return withUnfinishedCommandText(
        QCoreApplication::translate("transfer", "发送已取消：%1 / %2 字节送到了打印机。").arg(done).arg(total), done, total);
}

QString describeError(std::exception_ptr error)
{
    // The error's own text stays the first line, with its full stop; the
    // detail goes below it.
    try {
        std::rethrow_exception(error);
    } catch (const DetailedError &e) {
        return describeError(e.cause()) + QLatin1Char('\n') + e.detail();
    } catch (...) {
    }
    QString text = rawText(error);
    if (!text.isEmpty() && text.back() > QChar('.'))
        text += QLatin1Char('.');
    return text;
}

void reportError(Outside &outside, QObject *parent, std::exception_ptr error)
{
    try {
        try {
            std::rethrow_exception(error);
        } catch (const TransferCancelled &c) {
            outside.showMessage(parent, c.message());
            return;
        } catch (...) {
        }
        outside.showError(parent, applicationTitle(), describeError(error));
    } catch (...) {
        // Nothing more can be told; the program goes on.
    }
}
