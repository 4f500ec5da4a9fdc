#pragma once
// The progress dialog of a long transfer: where, how far, how fast, why it
// waits, and Cancel. Modal, so no other button works meanwhile.
#include "core/outside.h"

#include <QDialog>

class QLabel;
class QProgressBar;

class TransferDialog : public QDialog, public TransferView {
public:
    TransferDialog(QWidget *parent, const QString &where, bool &cancelled);
    void update(std::uint64_t done, std::uint64_t total, double rate, TransferHold hold) override;
    void reject() override { m_cancelled = true; } // Escape cancels the transfer

private:
    bool &m_cancelled;
    QString m_where;
    QProgressBar *m_bar;
    QLabel *m_count, *m_rate, *m_hold;
};
