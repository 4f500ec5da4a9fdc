#pragma once
// The settings rows of the main window: a check box that enables the row's
// button and, for most rows, a drop-down of choices. One table holds all
// there is to know of a row.
#include "settings/configcommands.h"

#include <QString>
#include <QStringList>

#include <vector>

class QCheckBox;
class QPushButton;
class QWidget;
class DropDown;

enum class PanelId { BlackMark, SerialSpeed, Led, NvLogo, PaperWidth, Density, AutoLineFeed, Buzzer, Reprint,
                     Emulation, SmallFont, StatusCheck };

struct PanelRow {
    PanelId id;
    const char *box;
    int boxTop;
    const char *boxCaption; // untranslated design caption
    const char *button;
    int buttonTop;
    const char *buttonCaption;
    const char *dropDown;   // nullptr: the row has none
    int dropTop;
    int dropHeight;
    int initialEntry;       // -1: no entry selected
    std::vector<const char *> entries; // UTF-8; read back by the commands, never translated
    const OneValueSetting *setting;    // the one-value rows' command, else nullptr
};

struct PanelWidgets {
    QCheckBox *box = nullptr;
    QPushButton *button = nullptr;
    DropDown *dropDown = nullptr;
};

// dcb, tcb, lcb, nvcb, CheckBox8, CheckBox1, CheckBox2, CheckBox5, CheckBox3,
// CheckBox4, CheckBox6, CheckBox7: top to bottom, indexed by PanelId.
const std::vector<PanelRow> &panelRows();
const PanelRow &panelRow(PanelId id);

QString panelBoxCaption(const PanelRow &row);
QString panelButtonCaption(const PanelRow &row);
QStringList panelEntries(const PanelRow &row);

// Creates every row unticked and disabled, in the window's client area, in
// the order of panelRows().
std::vector<PanelWidgets> createPanels(QWidget *parent);

// Ticking enables, clearing disables; the selection stays as it is.
void enablePanel(const PanelWidgets &row, bool enabled);
