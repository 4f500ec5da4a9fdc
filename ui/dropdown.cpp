#include "ui/dropdown.h"

#include <QLineEdit>

DropDown::DropDown(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Completion would turn a typed "COM" into an entry behind the operator's back.
    setCompleter(nullptr);
}

int DropDown::selectedIndex() const
{
    const QString text = currentText();
    const int current = currentIndex();
    if (current >= 0 && itemText(current) == text)
        return current;
    return findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

QString DropDown::entryText(int index) const
{
    return (index >= 0 && index < count()) ? itemText(index) : QString();
}

void DropDown::selectEntry(int index)
{
    setCurrentIndex(index);
    if (index >= 0 && index < count())
        setEditText(itemText(index));
}

void DropDown::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}
