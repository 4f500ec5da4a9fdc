#include "virtualprinter/host.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QHostInfo>
#include <QJsonParseError>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <map>
#include <stdexcept>

namespace vp {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(virtualprinter)
};

// A serial job ends when the line has been quiet this long.
constexpr int kSerialJobGapMs = 300;
// --paced reads every this many milliseconds what the wire carried meanwhile.
constexpr int kPaceTickMs = 10;
// Writing NV memory: a fixed start and so much a kilobyte, as flash takes.
constexpr int kNvWriteStartMs = 200;
constexpr int kNvWriteMsPerKb = 40;
constexpr char kXon = 0x11, kXoff = 0x13;

// What a UART at the wrong rate makes of the bytes: framing goes astray and
// each byte reads as another. The same wrong bytes every time.
ByteString misread(const ByteString &bytes)
{
    ByteString out = bytes;
    for (char &c : out) {
        const auto b = static_cast<unsigned char>(c);
        c = static_cast<char>(static_cast<unsigned char>(((b << 3) | (b >> 5)) ^ 0xA5));
    }
    return out;
}

} // namespace

bool parseListenAddress(const QString &text, QStringList &hosts, int &port, QString &error)
{
    QString h, p;
    const QString t = text.trimmed();
    hosts.clear();
    if (!t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); })) {
        h = QStringLiteral("127.0.0.1");
        p = t;
    } else if (t.startsWith(QLatin1Char('['))) {
        const int close = t.indexOf(QLatin1Char(']'));
        if (close < 0 || t.mid(close + 1, 1) != QLatin1String(":")) {
            error = Text::tr("--tcp %1: an IPv6 address goes in brackets with a port after it, as [::1]:9100").arg(text);
            return false;
        }
        h = t.mid(1, close - 1);
        p = t.mid(close + 2);
    } else {
        const int colon = t.lastIndexOf(QLatin1Char(':'));
        if (colon <= 0 || t.indexOf(QLatin1Char(':')) != colon) {
            error = Text::tr("--tcp %1: give PORT, HOST:PORT or [IPv6]:PORT").arg(text);
            return false;
        }
        h = t.left(colon);
        p = t.mid(colon + 1);
    }
    bool ok = false;
    port = p.toInt(&ok);
    if (!ok || port < 0 || port > 65535) {
        error = Text::tr("--tcp %1: the port must be 0 to 65535").arg(text);
        return false;
    }
    QHostAddress address;
    if (address.setAddress(h)) {
        hosts << address.toString();
        return true;
    }
    // A name: every address it stands for, loopback ones for "localhost".
    const bool local = h.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
    const QHostInfo info = QHostInfo::fromName(h);
    for (const QHostAddress &a : info.addresses())
        if ((!local || a.isLoopback()) && !hosts.contains(a.toString()))
            hosts << a.toString();
    if (local && hosts.isEmpty())
        hosts << QStringLiteral("127.0.0.1");
    if (hosts.isEmpty()) {
        error = Text::tr("--tcp %1: %2 has no address").arg(text, h);
        return false;
    }
    return true;
}

bool parseOptions(const QStringList &args, Options &o, QString &error, bool &headless)
{
    headless = false;
    QString model = o.model, status;
    const std::map<QString, QString *> withValue = {
        {QStringLiteral("--tcp"), &o.tcp},         {QStringLiteral("--serial"), &o.serial},
        {QStringLiteral("--parallel"), &o.parallel}, {QStringLiteral("--out"), &o.outDir},
        {QStringLiteral("--state"), &o.stateFile},   {QStringLiteral("--model"), &model},
        {QStringLiteral("--status"), &status}};
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--headless")) {
            headless = true;
            continue;
        }
        if (a == QLatin1String("--paced")) {
            o.paced = true;
            continue;
        }
        const auto it = withValue.find(a);
        if (it == withValue.end()) {
            error = Text::tr("unknown option %1").arg(a);
            return false;
        }
        if (i + 1 >= args.size()) {
            error = Text::tr("%1 needs a value").arg(a);
            return false;
        }
        *it->second = args[++i];
    }
    if (!modelById(model.toStdString())) {
        error = Text::tr("--model takes tavo80, tavo58, tavo76 or k3");
        return false;
    }
    o.model = model;
    if (!status.isEmpty()) {
        bool ok = false;
        o.status = statusByName(status.toStdString(), &ok);
        if (!ok) {
            error = Text::tr("--status takes online, offline, paper-end or silent");
            return false;
        }
    }
    if (o.tcp.isEmpty() && o.serial.isEmpty() && o.parallel.isEmpty())
        o.tcp = QStringLiteral("127.0.0.1:9100");
    if (!o.tcp.isEmpty() && !parseListenAddress(o.tcp, o.tcpHosts, o.tcpPort, error))
        return false;
    return true;
}

Host::Host(const Options &options) : m_options(options), m_engine(*modelById(options.model.toStdString()))
{
    m_engine.setStatus(options.status);
    m_serialQuiet.setSingleShot(true);
    m_serialQuiet.setInterval(kSerialJobGapMs);
    connect(&m_serialQuiet, &QTimer::timeout, this, [this] { endJob(); });
    m_parallelQuiet.setSingleShot(true);
    m_parallelQuiet.setInterval(kSerialJobGapMs);
    connect(&m_parallelQuiet, &QTimer::timeout, this, [this] { endJob(); });
    m_pace.setInterval(kPaceTickMs);
    connect(&m_pace, &QTimer::timeout, this, [this] { readSerialPaced(); });
    m_hold.setSingleShot(true);
    connect(&m_hold, &QTimer::timeout, this, [this] {
        const char xon = kXon;
        vline::writeAll(m_pty.master, &xon, 1);
        m_engine.note(Text::tr("NV 存储写完，发送 XON"));
        publish();
        m_pace.start();
    });
}

Host::~Host()
{
    m_ptyNotifier.reset();
    m_fifoNotifier.reset();
    if (m_pty.master >= 0)
        vline::closePty(m_pty, m_options.serial.toStdString());
    vline::closeFifo(m_fifo);
}

void Host::start()
{
    if (!m_options.stateFile.isEmpty()) {
        QFile f(m_options.stateFile);
        if (f.open(QIODevice::ReadOnly)) {
            // A memory that does not read is the operator's to look at, never
            // to be overwritten with an empty one.
            QJsonParseError parse{};
            const QJsonDocument memory = QJsonDocument::fromJson(f.readAll(), &parse);
            if (parse.error != QJsonParseError::NoError || !memory.isObject())
                throw std::runtime_error(Text::tr("state file %1 is no printer memory (%2); move it away or name another")
                                             .arg(m_options.stateFile,
                                                  parse.error != QJsonParseError::NoError ? parse.errorString()
                                                                                          : Text::tr("not a JSON object"))
                                             .toStdString());
            m_engine.restore(memory.object());
        }
    }
    checkOutputs();
    if (!m_options.tcp.isEmpty()) {
        QStringList hosts = m_options.tcpHosts;
        QString why;
        int port = m_options.tcpPort;
        if (hosts.isEmpty() && !parseListenAddress(m_options.tcp, hosts, port, why))
            throw std::runtime_error(why.toStdString());
        for (const QString &host : hosts) {
            auto *server = new QTcpServer(this);
            // Port 0 picks a free port for the first address; the others share it.
            const quint16 at = m_servers.empty() ? static_cast<quint16>(port) : m_servers.front()->serverPort();
            if (!server->listen(QHostAddress(host), at))
                throw std::runtime_error(("TCP " + host + ":" + QString::number(at) + ": " + server->errorString()).toStdString());
            server->setMaxPendingConnections(1);
            connect(server, &QTcpServer::newConnection, this, [this] { accept(); });
            m_servers.push_back(server);
        }
    }
    if (!m_options.serial.isEmpty()) {
        m_pty = vline::openPty(m_options.serial.toStdString());
        if (m_options.paced) {
            m_pace.start();
        } else {
            m_ptyNotifier = std::make_unique<QSocketNotifier>(m_pty.master, QSocketNotifier::Read);
            connect(m_ptyNotifier.get(), &QSocketNotifier::activated, this, [this] { readSerial(); });
        }
    }
    if (!m_options.parallel.isEmpty()) {
        m_fifo = vline::openFifo(m_options.parallel.toStdString());
        m_fifoNotifier = std::make_unique<QSocketNotifier>(m_fifo.read, QSocketNotifier::Read);
        connect(m_fifoNotifier.get(), &QSocketNotifier::activated, this, [this] { readParallel(); });
    }
    publish();
}

QStringList Host::describeLines() const
{
    QStringList lines;
    lines << Text::tr("model %1: %2, %3 dots").arg(m_options.model, QString::fromLatin1(modelById(m_options.model.toStdString())->name))
                 .arg(m_engine.paperDots());
    for (const QTcpServer *server : m_servers) {
        const QString address = server->serverAddress().toString();
        lines << QStringLiteral("tcp %1:%2")
                     .arg(address.contains(QLatin1Char(':')) ? QLatin1Char('[') + address + QLatin1Char(']') : address)
                     .arg(server->serverPort());
    }
    if (m_pty.master >= 0) {
        lines << QStringLiteral("serial %1 -> %2 at %3 bit/s")
                     .arg(m_options.serial, QString::fromStdString(m_pty.slavePath))
                     .arg(m_engine.serialBits());
        lines << Text::tr("map a COM number to it in ~/.config/tavo/ports.conf: COM3=%1").arg(m_options.serial);
    }
    if (m_fifo.read >= 0)
        lines << Text::tr("parallel %1 (map it: LPT1=%1)").arg(m_options.parallel);
    return lines;
}

void Host::checkOutputs()
{
    // Output that cannot be written is told at the start, not lost later.
    auto unwritable = [](const QString &what, const QString &path, const QString &why) {
        throw std::runtime_error(Text::tr("%1 %2 cannot be written: %3").arg(what, path, why).toStdString());
    };
    if (!m_options.outDir.isEmpty()) {
        QDir out(m_options.outDir);
        if (!QDir().mkpath(m_options.outDir))
            unwritable(QStringLiteral("--out"), m_options.outDir, Text::tr("the folder cannot be made"));
        QSaveFile probe(out.filePath(QStringLiteral(".write-test")));
        if (!probe.open(QIODevice::WriteOnly))
            unwritable(QStringLiteral("--out"), m_options.outDir, probe.errorString());
        probe.cancelWriting();
        // Receipt numbers go on after those already there.
        for (const QString &name : out.entryList({QStringLiteral("receipt-*.png")}, QDir::Files)) {
            bool ok = false;
            const int n = name.mid(8, name.size() - 12).toInt(&ok);
            if (ok)
                m_nextNumber = std::max(m_nextNumber, n + 1);
        }
    }
    if (!m_options.stateFile.isEmpty()) {
        QSaveFile probe(m_options.stateFile);
        if (!probe.open(QIODevice::WriteOnly))
            unwritable(QStringLiteral("--state"), m_options.stateFile, probe.errorString());
        probe.cancelWriting();
    }
}

void Host::setStatus(Status s)
{
    // Automatic status back: the host that asked for it hears of the change
    // on the line of its job.
    const ByteString frame = m_engine.setStatus(s);
    if (!frame.empty()) {
        if (m_active)
            m_active->write(frame.data(), static_cast<qint64>(frame.size()));
        if (m_pty.master >= 0)
            vline::writeAll(m_pty.master, frame.data(), frame.size());
    }
    publish();
}

void Host::accept()
{
    if (m_active)
        return; // the next waits in the backlog until this job is done
    QTcpSocket *socket = nullptr;
    for (QTcpServer *server : m_servers)
        if (!socket && server->hasPendingConnections())
            socket = server->nextPendingConnection();
    if (!socket) {
        for (QTcpServer *server : m_servers)
            server->resumeAccepting();
        return;
    }
    for (QTcpServer *server : m_servers)
        server->pauseAccepting();
    m_active = socket;
    m_jobBytes = 0;
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readTcp(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { closedTcp(socket); });
    readTcp(socket);
    if (socket->state() == QAbstractSocket::UnconnectedState)
        closedTcp(socket);
}

void Host::closedTcp(QTcpSocket *socket)
{
    if (socket != m_active)
        return;
    readTcp(socket);
    // A connection that sent nothing (a program asking whether the printer
    // is there) changes nothing.
    if (m_jobBytes > 0)
        endJob();
    m_active = nullptr;
    socket->disconnect(this);
    socket->deleteLater();
    QTimer::singleShot(0, this, [this] { accept(); });
}

void Host::readTcp(QTcpSocket *socket)
{
    const QByteArray data = socket->readAll();
    if (data.isEmpty())
        return;
    m_jobBytes += static_cast<std::size_t>(data.size());
    take(ByteString(data.constData(), static_cast<std::size_t>(data.size())), [socket](const ByteString &answer) {
        socket->write(answer.data(), static_cast<qint64>(answer.size()));
    });
}

void Host::readSerialPaced()
{
    // What the wire carries in one tick at the rate the line is set to
    // (ten bit times a byte), at least one byte.
    const int rate = vline::lineBits(m_pty) ? vline::lineBits(m_pty) : m_engine.serialBits();
    readSerial(std::max(1, rate / 10 * kPaceTickMs / 1000));
    if (m_engine.counts().nvWrites != m_nvWritesSeen) {
        m_nvWritesSeen = m_engine.counts().nvWrites;
        const std::size_t written = m_engine.counts().nvBytesWritten - m_nvBytesSeen;
        m_nvBytesSeen = m_engine.counts().nvBytesWritten;
        const int ms = kNvWriteStartMs + static_cast<int>(written / 1024) * kNvWriteMsPerKb;
        const char xoff = kXoff;
        vline::writeAll(m_pty.master, &xoff, 1);
        m_engine.note(Text::tr("写入 NV 存储：XOFF %1 ms").arg(ms));
        publish();
        m_pace.stop();
        m_hold.start(ms);
    }
}

void Host::readSerial(std::size_t most)
{
    char buffer[4096];
    const long n = vline::readSome(m_pty.master, buffer, std::min(sizeof buffer, most));
    if (n <= 0)
        return;
    ByteString bytes(buffer, static_cast<std::size_t>(n));
    const int lineRate = vline::lineBits(m_pty), own = m_engine.serialBits();
    if (lineRate != 0 && lineRate != own) {
        const QString why = Text::tr("data at %1 bit/s, printer set to %2").arg(lineRate).arg(own);
        if (why != m_rateWarning)
            m_engine.note(why);
        m_rateWarning = why;
        bytes = misread(bytes);
    } else {
        m_rateWarning.clear();
    }
    take(bytes, [this](const ByteString &answer) { vline::writeAll(m_pty.master, answer.data(), answer.size()); });
    m_serialQuiet.start();
}

void Host::readParallel()
{
    // A parallel job ends, as a serial one, at a pause on the line.
    char buffer[4096];
    const long n = vline::readSome(m_fifo.read, buffer, sizeof buffer);
    if (n > 0) {
        take(ByteString(buffer, static_cast<std::size_t>(n)), [](const ByteString &) {});
        m_parallelQuiet.start();
    }
}

void Host::take(const ByteString &bytes, const std::function<void(const ByteString &)> &answer)
{
    const ByteString reply = m_engine.feed(bytes);
    if (!reply.empty())
        answer(reply);
    publish();
}

void Host::endJob()
{
    m_engine.endJob();
    publish();
}

void Host::publish()
{
    const QStringList lines = m_engine.takeLog();
    m_log << lines;
    QDir out(m_options.outDir);
    for (QImage &receipt : m_engine.takeReceipts()) {
        ++m_receiptCount;
        if (!m_options.outDir.isEmpty()) {
            const QString file = out.filePath(QStringLiteral("receipt-%1.png").arg(m_nextNumber++, 4, 10, QLatin1Char('0')));
            if (!compactReceipt(receipt).save(file))
                m_log << Text::tr("小票无法保存：%1").arg(file);
        }
        // Only the last ones stay in memory, for the window.
        m_receipts.push_back(std::move(receipt));
        while (static_cast<int>(m_receipts.size()) > std::max(m_options.keepReceipts, 0))
            m_receipts.pop_front();
    }
    if (!m_options.outDir.isEmpty()) {
        if (!lines.isEmpty()) {
            QFile log(out.filePath(QStringLiteral("log.txt")));
            if (log.open(QIODevice::Append))
                log.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        }
        if (modelById(m_options.model.toStdString())->display)
            m_engine.display().render().save(out.filePath(QStringLiteral("display.png")));
    }
    writeState();
    emit changed();
}

void Host::writeState()
{
    if (!m_options.stateFile.isEmpty()) {
        QSaveFile f(m_options.stateFile);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(QJsonDocument(m_engine.memory()).toJson());
            f.commit();
        }
    }
    if (m_options.outDir.isEmpty())
        return;
    // The summary has a name of its own, so that it and the state file never
    // share one; it holds the whole memory too, with the counts.
    QJsonObject state = m_engine.memory();
    QJsonArray nv = state.value(QStringLiteral("nv")).toArray();
    for (QJsonValueRef entry : nv) {
        QJsonObject o = entry.toObject();
        const auto it = m_engine.nvImages().find(o.value(QStringLiteral("number")).toInt());
        if (it == m_engine.nvImages().end())
            continue;
        o[QStringLiteral("width")] = 8 * it->second.x;
        o[QStringLiteral("height")] = 8 * it->second.y;
        o[QStringLiteral("bytes")] = static_cast<int>(it->second.data.size());
        entry = o;
    }
    state[QStringLiteral("nv")] = nv;
    const Display &d = m_engine.display();
    state[QStringLiteral("display")] = QJsonObject{{QStringLiteral("text"), d.text},
                                                   {QStringLiteral("priceLamp"), d.priceLamp},
                                                   {QStringLiteral("totalLamp"), d.totalLamp}};
    const Counts &c = m_engine.counts();
    state[QStringLiteral("counts")] = QJsonObject{{QStringLiteral("receipts"), m_receiptCount},
                                                  {QStringLiteral("cuts"), c.cuts},
                                                  {QStringLiteral("drawerPulses"), c.drawerPulses},
                                                  {QStringLiteral("beeps"), c.beeps},
                                                  {QStringLiteral("notUnderstood"), c.unknown}};
    state[QStringLiteral("status")] = QString::fromLatin1(statusName(m_engine.status()));
    state[QStringLiteral("serialBits")] = m_engine.serialBits();
    state[QStringLiteral("paperDots")] = m_engine.paperDots();
    QSaveFile f(QDir(m_options.outDir).filePath(QStringLiteral("summary.json")));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(QJsonDocument(state).toJson());
        f.commit();
    }
}

} // namespace vp
