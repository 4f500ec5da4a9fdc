#pragma once
// The virtual printer as its own process, headless, on all three lines of a
// test's temp folder: TCP on a free loopback port, a pseudo-terminal behind
// a symlink, and a FIFO. Tests read what it did from its out folder.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include <functional>
#include <string>

class VirtualPrinterProcess {
public:
    VirtualPrinterProcess(const std::string &dir, const QStringList &extra = {})
        : link(dir + "/vp-tty"), fifo(dir + "/vp-lp"), out(dir + "/vp-out"), stateFile(dir + "/vp-memory.json")
    {
        m_process.setProgram(QStringLiteral(TAVO_VIRTUAL_PRINTER_PATH));
        m_process.setArguments(QStringList{"--headless", "--tcp", "127.0.0.1:0", "--serial", QString::fromStdString(link),
                                           "--parallel", QString::fromStdString(fifo), "--out",
                                           QString::fromStdString(out), "--state", QString::fromStdString(stateFile)} +
                               extra);
        m_process.start();
        // It prints where it listens, the parallel line last.
        QByteArray said;
        while (!said.contains("parallel ") && m_process.waitForReadyRead(5000))
            said += m_process.readAllStandardOutput();
        for (const QByteArray &line : said.split('\n'))
            if (line.startsWith("tcp "))
                tcpPort = line.mid(line.lastIndexOf(':') + 1).toInt();
    }
    ~VirtualPrinterProcess()
    {
        m_process.terminate(); // SIGTERM: it closes its lines and writes its state
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    bool running() const { return m_process.state() == QProcess::Running && tcpPort > 0; }
    int exitCode() { m_process.waitForFinished(5000); return m_process.exitCode(); }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(tcpPort); }

    QJsonObject state() const
    {
        QFile f(QString::fromStdString(out + "/summary.json"));
        return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object() : QJsonObject();
    }
    int count(const char *what) const { return state().value("counts").toObject().value(QLatin1String(what)).toInt(); }
    QString log() const
    {
        QFile f(QString::fromStdString(out + "/log.txt"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QImage receipt(int n) const
    {
        return QImage(QString::fromStdString(out) + QStringLiteral("/receipt-%1.png").arg(n, 4, 10, QLatin1Char('0')));
    }
    // Waits until `done` holds of its state; the window thread keeps running.
    bool waitFor(const std::function<bool()> &done, int ms = 5000) const
    {
        for (int waited = 0; waited < ms; waited += 10) {
            if (done())
                return true;
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
        return done();
    }

    std::string link, fifo, out, stateFile;
    int tcpPort = 0;

private:
    QProcess m_process;
};
