#include "ui/desktopoutside.h"

#include "core/errors.h"
#include "ui/transferdialog.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QWidget *widget(QObject *parent) { return qobject_cast<QWidget *>(parent); }

} // namespace

std::unique_ptr<TransferView> WindowedOutside::showTransfer(QObject *parent, const QString &where, bool &cancelled)
{
    auto dialog = std::make_unique<TransferDialog>(widget(parent), where, cancelled);
    dialog->show();
    return dialog;
}

void DesktopOutside::showMessage(QObject *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, widget(parent));
    box.exec();
}

bool DesktopOutside::askYesNo(QObject *parent, const QString &question)
{
    QMessageBox box(QMessageBox::Question, applicationTitle(), question, QMessageBox::Yes | QMessageBox::No,
                    widget(parent));
    return box.exec() == QMessageBox::Yes;
}

void DesktopOutside::showError(QObject *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, widget(parent));
    box.exec();
}

QString DesktopOutside::chooseOpenFile(QObject *parent, const QString &filter)
{
    return QFileDialog::getOpenFileName(widget(parent), QString(), QString(), filter);
}

QString DesktopOutside::chooseSaveFile(QObject *parent, const QString &filter, const QString &suggested)
{
    return QFileDialog::getSaveFileName(widget(parent), QString(), suggested, filter);
}

void DesktopOutside::openUrl(const QUrl &url) { QDesktopServices::openUrl(url); }
