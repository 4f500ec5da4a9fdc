#pragma once
// The one-value printer settings of the settings rows and the serial speed.
#include "core/bytestring.h"

#include <QString>

#include <vector>

enum class Setting { PaperWidth, Density, AutoLineFeed, Buzzer, Reprint, Emulation, SmallFont };

struct OneValueSetting {
    Setting id;
    const char *name;        // what it sets, as a decoded listing names it
    ByteString featureCode;
    std::vector<int> values; // value byte by entry; the last also serves "no entry"
    std::vector<const char *> entries; // the row's drop-down entries (UTF-8), one a value
};

// Every one-value setting, in the order of the rows.
const std::vector<OneValueSetting> &oneValueSettings();
const OneValueSetting &oneValueSetting(Setting id);

// Entry index (-1: none selected) to the value byte: each entry but the last
// has its own value; the last entry and every other index give the last one.
int settingValue(const OneValueSetting &setting, int index);
ByteString buildSettingCommand(const OneValueSetting &setting, int index);

// 1F 1B 1F FD n
ByteString buildSerialSpeed(int code);
// The serial speed is refused on a parallel port or no port at all.
QString serialSpeedNeedsSerial();
// The serial speed row's entries, "0:4800bps" to "6:2400bps", by code.
const std::vector<const char *> &serialSpeedEntries();
// Bits a second of a serial speed code; 0 for a code without a speed.
int serialSpeedBits(int code);
