#pragma once
// The program's one seam to the outside world: message boxes, the error box,
// the file-open dialog, the web link and the table of device names. The
// desktop body shows real dialogs; tests put their own in its place.
#include "transport/devicenames.h"

#include <QString>
#include <QUrl>

class QWidget;

class Outside {
public:
    virtual ~Outside() = default;
    // A plain message with one OK button.
    virtual void showMessage(QWidget *parent, const QString &text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(QWidget *parent, const QString &question) = 0;
    // The error box: error icon, the application title as caption.
    virtual void showError(QWidget *parent, const QString &title, const QString &text) = 0;
    // Returns the chosen file, or an empty text when the operator cancels.
    virtual QString chooseOpenFile(QWidget *parent, const QString &filter) = 0;
    // Returns the file to write, or an empty text when the operator cancels.
    virtual QString chooseSaveFile(QWidget *parent, const QString &filter, const QString &suggested) = 0;
    virtual void openUrl(const QUrl &url) = 0;

    DeviceNames &deviceNames() { return m_deviceNames; }

private:
    DeviceNames m_deviceNames;
};

class DesktopOutside : public Outside {
public:
    void showMessage(QWidget *parent, const QString &text) override;
    bool askYesNo(QWidget *parent, const QString &question) override;
    void showError(QWidget *parent, const QString &title, const QString &text) override;
    QString chooseOpenFile(QWidget *parent, const QString &filter) override;
    QString chooseSaveFile(QWidget *parent, const QString &filter, const QString &suggested) override;
    void openUrl(const QUrl &url) override;
};
