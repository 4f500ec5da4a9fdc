// tavo-cli: the program's commands from a shell or a script, no window.
#include "cli/cli.h"
#include "core/console.h"
#include "core/language.h"
#include "core/outside.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

// Without windows, what they would show goes to standard error.
class ConsoleOutside : public Outside {
public:
    explicit ConsoleOutside(QTextStream &err) : m_err(err) {}
    void showMessage(QObject *, const QString &text) override { m_err << text << "\n" << Qt::flush; }
    bool askYesNo(QObject *, const QString &) override { return false; }
    void showError(QObject *, const QString &, const QString &text) override { m_err << text << "\n" << Qt::flush; }
    QString chooseOpenFile(QObject *, const QString &) override { return QString(); }
    QString chooseSaveFile(QObject *, const QString &, const QString &) override { return QString(); }
    void openUrl(const QUrl &) override {}

private:
    QTextStream &m_err;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const Translations language(languageFor(QLocale::system()));
    QTextStream out(stdout), err(stderr);
    ConsoleOutside outside(err);
    return finishOutput(out, "tavo-cli", runCli(app.arguments().mid(1), outside, out, err));
}
