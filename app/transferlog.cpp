#include "app/transferlog.h"

#include "escpos/decoder.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(transferlog)
};

} // namespace

std::uint64_t TransferLog::begin(const QString &where, const ByteString &bytes, bool exchange)
{
    LogEntry e;
    e.id = m_nextId++;
    e.time = QDateTime::currentDateTime();
    e.where = where;
    e.bytes = bytes;
    e.exchange = exchange;
    m_bytes += bytes.size();
    m_entries.push_back(std::move(e));
    trim();
    emit changed();
    return m_entries.back().id;
}

LogEntry *TransferLog::entry(std::uint64_t id)
{
    // Ids rise along the log, so the entry is found by halving.
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), id,
                               [](const LogEntry &e, std::uint64_t wanted) { return e.id < wanted; });
    return it != m_entries.end() && it->id == id ? &*it : nullptr;
}

const LogEntry *TransferLog::find(std::uint64_t id) const { return const_cast<TransferLog *>(this)->entry(id); }

void TransferLog::sent(std::uint64_t id)
{
    if (LogEntry *e = entry(id)) {
        e->result = LogEntry::Result::Sent;
        e->done = e->bytes.size();
        emit changed();
    }
}

void TransferLog::failed(std::uint64_t id, const QString &error)
{
    if (LogEntry *e = entry(id)) {
        e->result = LogEntry::Result::Failed;
        e->error = error;
        emit changed();
    }
}

void TransferLog::cancelled(std::uint64_t id, std::uint64_t done)
{
    if (LogEntry *e = entry(id)) {
        e->result = LogEntry::Result::Cancelled;
        e->done = done;
        emit changed();
    }
}

void TransferLog::answered(std::uint64_t id, const ByteString &answer)
{
    if (LogEntry *e = entry(id)) {
        e->answer += answer;
        m_bytes += answer.size();
        trim();
        emit changed();
    }
}

void TransferLog::clear()
{
    m_entries.clear();
    m_bytes = 0;
    emit changed();
}

void TransferLog::trim()
{
    // The newest entry always stays, however large.
    while (m_entries.size() > 1 && (m_entries.size() > kMaxEntries || m_bytes > kMaxBytes)) {
        m_bytes -= m_entries.front().bytes.size() + m_entries.front().answer.size();
        m_entries.pop_front();
    }
}

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

QString entryText(const LogEntry &e)
{
    QString text = Text::tr("时间：%1\n去向：%2\n长度：%3 字节\n结果：%4\n")
                       .arg(e.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")), e.where,
                            QString::number(e.bytes.size()),
                            e.result == LogEntry::Result::Failed ? Text::tr("失败：%1").arg(e.error) : resultText(e));
    if (e.exchange)
        text += Text::tr("打印机的回答（%1 字节）：%2\n")
                    .arg(static_cast<qulonglong>(e.answer.size()))
                    .arg(QString::fromStdString(escpos::hexOf(e.answer, 0, e.answer.size())));
    text += Text::tr("字节：%1\n\n").arg(QString::fromStdString(escpos::hexOf(e.bytes, 0, e.bytes.size(), 64)));
    text += escpos::listing(e.bytes);
    return text;
}
