#pragma once
// The transfer log window: every command sent from any window during this
// run, its decoded listing with hex, copy and save, and replay of a saved
// byte file to the port chosen now.
#include "ui/toolwindow.h"

#include <cstdint>
#include <vector>

class QPlainTextEdit;
class QTreeWidget;

class Tlogf : public ToolWindow {
    Q_OBJECT
public:
    explicit Tlogf(ToolHost &host);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();
    void showSelected();
    std::vector<std::uint64_t> selectedIds() const;
    void copyClick();
    // Asks where, then writes `contents`; tells the operator to select first.
    void saveSelected(const QString &filter, const QString &suggested, const std::string &contents);
    void saveBinClick();
    void saveTextClick();
    void replayClick();
    void clearClick();
    void closeClick();
    QString selectedText(std::size_t maxCommands = 0) const;

    QTreeWidget *m_list = nullptr;
    QPlainTextEdit *m_detail = nullptr;
    bool m_stale = true;
};
