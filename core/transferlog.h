#pragma once
// What went to the printer during this run: every command any window sent,
// where it went, how it ended, and what a status check got back. It lives in
// memory only, bounded, the oldest dropped first; it saves nothing itself.
#include "core/bytestring.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>

struct LogEntry {
    enum class Result { Sending, Sent, Failed, Cancelled };
    std::uint64_t id = 0;
    QDateTime time;
    QString where;          // "COM3 → /dev/ttyUSB0 @ 19200", "LPT1 → /dev/lp0", "127.0.0.1:9100"
    ByteString bytes;       // exactly what was to be sent
    Result result = Result::Sending;
    QString error;          // failed: the text the operator was shown
    std::uint64_t done = 0; // cancelled: the bytes that went out before
    bool exchange = false;  // a status check: the printer answers
    ByteString answer;      // what came back
};

class TransferLog : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t kMaxEntries = 1000;
    static constexpr std::size_t kMaxBytes = 16u * 1024 * 1024;

    // A command about to go out; returns its id.
    std::uint64_t begin(const QString &where, const ByteString &bytes, bool exchange = false);
    void sent(std::uint64_t id);
    void failed(std::uint64_t id, const QString &error);
    void cancelled(std::uint64_t id, std::uint64_t done);
    void answered(std::uint64_t id, const ByteString &answer);
    void clear();

    const std::deque<LogEntry> &entries() const { return m_entries; }
    const LogEntry *find(std::uint64_t id) const;
    std::size_t bytesHeld() const { return m_bytes; }

signals:
    void changed();

private:
    LogEntry *entry(std::uint64_t id);
    void trim();

    std::deque<LogEntry> m_entries;
    std::size_t m_bytes = 0;
    std::uint64_t m_nextId = 1;
};
