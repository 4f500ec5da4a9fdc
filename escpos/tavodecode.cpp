// tavo-decode FILE...: the decoded listing of byte files (a HEX file of the
// logo window, a capture, a saved transfer). Exit status 0 when every file
// holds only known, whole commands; 1 when one holds unknown or truncated
// ones; 2 when a file cannot be read.
#include "core/console.h"
#include "core/language.h"
#include "escpos/decoder.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <algorithm>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const Translations language(languageFor(QLocale::system()));
    QTextStream out(stdout), err(stderr);
    const QStringList files = app.arguments().mid(1);
    if (files.isEmpty() || files.contains(QStringLiteral("--help")) || files.contains(QStringLiteral("-h"))) {
        (files.isEmpty() ? err : out) << QCoreApplication::translate("tavo-decode",
                                                                     "Usage: tavo-decode FILE...\n"
                                                                     "Lists the printer commands in each file, one a "
                                                                     "line: offset, name, meaning and bytes.\n");
        return finishOutput(out, "tavo-decode", files.isEmpty() ? 2 : 0);
    }
    int status = 0;
    for (const QString &name : files) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            err << QCoreApplication::translate("tavo-decode", "tavo-decode: %1: %2\n").arg(name, file.errorString());
            status = 2;
            continue;
        }
        // Read straight into the one copy the decoder walks.
        ByteString bytes;
        if (file.isSequential()) {
            const QByteArray data = file.readAll();
            bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
        } else {
            bytes.resize(static_cast<std::size_t>(file.size()));
            bytes.resize(static_cast<std::size_t>(std::max<qint64>(0, file.read(bytes.data(), file.size()))));
        }
        if (files.size() > 1)
            out << QStringLiteral("== %1 (%2 bytes)\n").arg(name).arg(static_cast<qulonglong>(bytes.size()));
        out.flush(); // the listing goes to the same stream below it
        if (!escpos::writeListing(bytes, stdout) && status == 0)
            status = 1;
    }
    return finishOutput(out, "tavo-decode", status);
}
