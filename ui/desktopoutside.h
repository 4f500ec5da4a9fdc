#pragma once
// The seam as the windows have it: message boxes, file dialogs, the web
// link and the progress dialog. Tests derive from WindowedOutside to record
// the messages while the progress dialog stays real.
#include "core/outside.h"

class WindowedOutside : public Outside {
public:
    bool hasWindows() const override { return true; }
    std::unique_ptr<TransferView> showTransfer(QObject *parent, const QString &where, bool &cancelled) override;
};

class DesktopOutside : public WindowedOutside {
public:
    void showMessage(QObject *parent, const QString &text) override;
    bool askYesNo(QObject *parent, const QString &question) override;
    void showError(QObject *parent, const QString &title, const QString &text) override;
    QString chooseOpenFile(QObject *parent, const QString &filter) override;
    QString chooseSaveFile(QObject *parent, const QString &filter, const QString &suggested) override;
    void openUrl(const QUrl &url) override;
};
