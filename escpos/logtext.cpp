#include "escpos/logtext.h"

#include "core/errors.h"
#include "escpos/decoder.h"

#include <QCoreApplication>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(transferlog)
};

} // namespace

QString resultText(const LogEntry &e)
{
    switch (e.result) {
    case LogEntry::Result::Sending: return Text::tr("发送中");
    case LogEntry::Result::Sent:
        if (e.exchange)
            return e.answer.empty() ? Text::tr("已发送；没有回答")
                                    : Text::tr("已发送；回答 %1").arg(QString::fromStdString(escpos::hexOf(e.answer, 0, e.answer.size(), 12)));
        return Text::tr("已发送");
    case LogEntry::Result::Failed: return Text::tr("失败：%1").arg(e.error.section(QLatin1Char('\n'), 0, 0));
    case LogEntry::Result::Cancelled:
        return Text::tr("已取消：送出 %1 / %2 字节").arg(e.done).arg(static_cast<qulonglong>(e.bytes.size()));
    }
    return QString();
}

QString entryText(const LogEntry &e, std::size_t maxCommands)
{
    QString text = Text::tr("时间：%1\n去向：%2\n长度：%3 字节\n结果：%4\n")
                       .arg(e.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")), e.where,
                            QString::number(e.bytes.size()),
                            e.result == LogEntry::Result::Failed ? Text::tr("失败：%1").arg(e.error) : resultText(e));
    if (e.result == LogEntry::Result::Cancelled) {
        const QString advice = unfinishedCommandText(e.done, e.bytes.size());
        if (!advice.isEmpty())
            text += advice + QLatin1Char('\n');
    }
    if (e.exchange)
        text += Text::tr("打印机的回答（%1 字节）：%2\n")
                    .arg(static_cast<qulonglong>(e.answer.size()))
                    .arg(QString::fromStdString(escpos::hexOf(e.answer, 0, e.answer.size())));
    text += Text::tr("字节：%1\n\n").arg(QString::fromStdString(escpos::hexOf(e.bytes, 0, e.bytes.size(), 64)));
    std::size_t listed = 0, end = 0;
    escpos::decodeEach(e.bytes, {}, [&](const escpos::Command &c) {
        if (maxCommands != 0 && listed == maxCommands)
            return false;
        text += escpos::listingLine(e.bytes, c);
        ++listed;
        end = c.offset + c.length;
        return true;
    });
    if (end < e.bytes.size())
        text += Text::tr("……还有 %1 字节没有列出（“保存文本”保存完整的列表）\n").arg(static_cast<qulonglong>(e.bytes.size() - end));
    return text;
}
