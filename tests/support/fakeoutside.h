#pragma once
// The test body of the program's seam: records what the program would have
// shown or opened, and answers the file dialog from a queue.
#include "ui/desktopoutside.h"

#include <QStringList>

#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

// The error box shows the error's own text first and a detail line below it.
inline QStringList firstLines(const QStringList &texts)
{
    QStringList out;
    for (const QString &t : texts)
        out << t.section(QLatin1Char('\n'), 0, 0);
    return out;
}
inline QString detailOf(const QString &text) { return text.section(QLatin1Char('\n'), 1); }

class FakeOutside : public WindowedOutside {
public:
    void showMessage(QObject *, const QString &text) override { messages << text; }
    bool askYesNo(QObject *, const QString &question) override
    {
        questions << question;
        return !answers.isEmpty() && answers.takeFirst();
    }
    void showError(QObject *, const QString &title, const QString &text) override
    {
        errorTitles << title;
        errors << text;
    }
    QString chooseOpenFile(QObject *, const QString &filter) override
    {
        filters << filter;
        return nextFiles.isEmpty() ? QString() : nextFiles.takeFirst();
    }
    QString chooseSaveFile(QObject *, const QString &filter, const QString &) override
    {
        saveFilters << filter;
        return nextSaveFiles.isEmpty() ? QString() : nextSaveFiles.takeFirst();
    }
    void openUrl(const QUrl &url) override { urls << url.toString(); }
    // No scan of a test asks the machine's own networks.
    std::vector<netprobe::Network> localNetworks() const override { return networks; }
    std::vector<netprobe::Network> networks;

    void clear()
    {
        messages.clear();
        questions.clear();
        errors.clear();
        errorTitles.clear();
        urls.clear();
    }

    QList<bool> answers;
    QStringList questions;
    QStringList messages, errors, errorTitles, filters, nextFiles, saveFilters, nextSaveFiles, urls;
};
