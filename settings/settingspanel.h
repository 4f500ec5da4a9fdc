#pragma once
// The settings rows of the main window: a check box that enables the row's
// button and, for most rows, a drop-down of choices.
#include <QString>
#include <QStringList>

#include <vector>

class QCheckBox;
class QPushButton;
class QWidget;
class DropDown;

struct PanelRow {
    const char *box;
    int boxTop;
    const char *button;
    int buttonTop;
    const char *dropDown; // nullptr: the row has none
    int dropTop;
    int dropHeight;
    int initialEntry;     // -1: no entry selected
};

struct PanelWidgets {
    QCheckBox *box = nullptr;
    QPushButton *button = nullptr;
    DropDown *dropDown = nullptr;
};

// dcb, tcb, lcb, nvcb, CheckBox8, CheckBox1, CheckBox2, CheckBox5, CheckBox3,
// CheckBox4, CheckBox6, CheckBox7: top to bottom.
const std::vector<PanelRow> &panelRows();

// The design captions of the check boxes and buttons, and the entries.
QString panelBoxCaption(const char *box);
QString panelButtonCaption(const char *button);
QStringList panelEntries(const char *dropDown);

// Creates every row unticked and disabled, in the window's client area.
std::vector<PanelWidgets> createPanels(QWidget *parent);

// Ticking enables, clearing disables; the selection stays as it is.
void enablePanel(const PanelWidgets &row, bool enabled);
