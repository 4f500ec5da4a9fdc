#pragma once
// An editable drop-down list with one clear notion of "selected index": the
// entry whose text the field shows, or -1 when the operator typed a text
// that is no entry.
#include <QComboBox>

class DropDown : public QComboBox {
    Q_OBJECT
public:
    explicit DropDown(QWidget *parent = nullptr);
    int selectedIndex() const;
    // The entry text at `index`; empty for no entry.
    QString entryText(int index) const;
    // The entry at selectedIndex(); empty when none is selected.
    QString selectedEntry() const { return entryText(selectedIndex()); }
    QString shownText() const { return currentText(); }
    void selectEntry(int index);
    void showPopup() override;

signals:
    // Just before the list opens: the moment to refresh what entries say.
    void aboutToShowPopup();
};
