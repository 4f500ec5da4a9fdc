#pragma once
// The virtual printer's lines and outputs: it listens on TCP, on a
// pseudo-terminal and on a FIFO, feeds each job to the engine, answers the
// status requests, and writes receipts, the decoded log and its state.
#include "transport/virtualline.h"
#include "virtualprinter/engine.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;

namespace vp {

struct Options {
    QString model = QStringLiteral("tavo80");
    QString tcp;          // "HOST:PORT", "PORT" or "[V6]:PORT"; empty: none
    QStringList tcpHosts; // the numeric addresses it listens on, from `tcp`
    int tcpPort = 9100;   // 0: any free port
    QString serial;       // symlink to the pseudo-terminal's slave
    QString parallel;     // FIFO path
    QString outDir;       // receipts, log.txt, summary.json
    QString stateFile;    // the printer's memory across runs
    Status status = Status::Online;
    bool paced = false;   // serial: take bytes at the wire rate, hold XOFF while writing NV memory
    int keepReceipts = 20; // receipts kept in memory for the window once saved; headless keeps none
};

// Where `--tcp` listens: a bare port is on 127.0.0.1; an address is that
// address; a name is every address it resolves to ("localhost": the
// loopback ones), so a printer meant for this machine is never open to the
// network by accident. False, with `error` set, for a text that is none of
// those, a name without an address, or a port outside 0 to 65535.
bool parseListenAddress(const QString &text, QStringList &hosts, int &port, QString &error);

// Reads the command line; on a mistake returns false with `error` set.
bool parseOptions(const QStringList &args, Options &options, QString &error, bool &headless);

class Host : public QObject {
    Q_OBJECT
public:
    explicit Host(const Options &options);
    ~Host() override;

    // Opens every line asked for; throws std::runtime_error.
    void start();
    // Lines for the operator: where it listens, how to map a COM number.
    QStringList describeLines() const;

    Engine &engine() { return m_engine; }
    const Options &options() const { return m_options; }
    void setStatus(Status s);
    // The last receipts cut this run (as many as the options keep), oldest
    // first, and how many were cut in all.
    const std::deque<QImage> &receipts() const { return m_receipts; }
    int receiptCount() const { return m_receiptCount; }
    const QStringList &log() const { return m_log; }
    // Ends the job in progress (a line closed, or the program ends).
    void endJob();

signals:
    void changed();

private:
    // One job at a time, as a port-9100 interface serves: the next
    // connection is accepted when the one before has closed.
    void accept();
    void closedTcp(QTcpSocket *socket);
    void readTcp(QTcpSocket *socket);
    void checkOutputs();
    void readSerial(std::size_t most = 4096);
    void readSerialPaced();
    void readParallel();
    void take(const ByteString &bytes, const std::function<void(const ByteString &)> &answer);
    void publish();
    void writeState();

    Options m_options;
    Engine m_engine;
    std::vector<QTcpServer *> m_servers; // one for each address, all on one port
    vline::Pty m_pty;
    vline::Fifo m_fifo;
    std::unique_ptr<QSocketNotifier> m_ptyNotifier, m_fifoNotifier;
    QTimer m_serialQuiet; // a pause on the serial line ends its job
    QTimer m_parallelQuiet; // and on the parallel one
    QTimer m_pace;        // --paced: reads a wire's worth of bytes each tick
    QTimer m_hold;        // --paced: the NV write under XOFF
    int m_nvWritesSeen = 0;
    std::size_t m_nvBytesSeen = 0;
    QString m_rateWarning;
    std::deque<QImage> m_receipts;
    int m_receiptCount = 0;
    int m_nextNumber = 1; // of the next receipt's PNG: after those already in the out folder
    QStringList m_log;
    QTcpSocket *m_active = nullptr; // the connection whose job is printing
    std::size_t m_jobBytes = 0;     // what it has sent
};

} // namespace vp
