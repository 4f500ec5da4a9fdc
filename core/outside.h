#pragma once
// The program's one seam to the outside world: message boxes, the error box,
// the file dialogs, the web link, the progress view of a long transfer and
// the table of device names. The windows' body shows real dialogs, the
// command line writes to standard error, and tests put their own in place.
// A parent is the window a dialog belongs to, or nullptr.
#include "transport/devicenames.h"
#include "transport/netprobe.h"
#include "transport/transferwatch.h"

#include <QString>
#include <QUrl>

#include <cstdint>
#include <memory>

class QObject;

// What the operator sees of one long transfer while it runs.
class TransferView {
public:
    virtual ~TransferView() = default;
    // `rate`: bytes a second, 0 while unknown.
    virtual void update(std::uint64_t done, std::uint64_t total, double rate, TransferHold hold) = 0;
};

class Outside {
public:
    virtual ~Outside() = default;
    // A plain message with one OK button.
    virtual void showMessage(QObject *parent, const QString &text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(QObject *parent, const QString &question) = 0;
    // The error box: error icon, the application title as caption.
    virtual void showError(QObject *parent, const QString &title, const QString &text) = 0;
    // Returns the chosen file, or an empty text when the operator cancels.
    virtual QString chooseOpenFile(QObject *parent, const QString &filter) = 0;
    // Returns the file to write, or an empty text when the operator cancels.
    virtual QString chooseSaveFile(QObject *parent, const QString &filter, const QString &suggested) = 0;
    virtual void openUrl(const QUrl &url) = 0;

    // Whether windows stand that must keep painting while a command waits.
    virtual bool hasWindows() const { return false; }
    // A modal progress view with a Cancel that sets `cancelled`; nullptr
    // where none can show.
    virtual std::unique_ptr<TransferView> showTransfer(QObject *parent, const QString &where, bool &cancelled)
    {
        (void)parent, (void)where, (void)cancelled;
        return nullptr;
    }

    // The host's own IPv4 networks, the printer scan's default range; tests
    // give none, so that no scan of theirs leaves loopback.
    virtual std::vector<netprobe::Network> localNetworks() const { return netprobe::localNetworks(); }

    DeviceNames &deviceNames() { return m_deviceNames; }

private:
    DeviceNames m_deviceNames;
};
