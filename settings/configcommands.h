#pragma once
// The one-value printer settings of the settings rows and the serial speed.
#include "app/bytestring.h"

#include <vector>

enum class Setting { PaperWidth, Density, AutoLineFeed, Buzzer, Reprint, Emulation, SmallFont };

struct OneValueSetting {
    Setting id;
    ByteString featureCode;
    std::vector<int> values; // value byte by entry; the last also serves "no entry"
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
