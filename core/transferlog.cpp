#include "core/transferlog.h"

#include <algorithm>

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
