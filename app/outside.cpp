#include "app/outside.h"

#include "app/errors.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

void DesktopOutside::showMessage(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool DesktopOutside::askYesNo(QWidget *parent, const QString &question)
{
    QMessageBox box(QMessageBox::Question, applicationTitle(), question, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

void DesktopOutside::showError(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString DesktopOutside::chooseOpenFile(QWidget *parent, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString DesktopOutside::chooseSaveFile(QWidget *parent, const QString &filter, const QString &suggested)
{
    return QFileDialog::getSaveFileName(parent, QString(), suggested, filter);
}

void DesktopOutside::openUrl(const QUrl &url) { QDesktopServices::openUrl(url); }
