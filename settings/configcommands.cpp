#include "settings/configcommands.h"

#include "app/basiccommands.h"

const std::vector<OneValueSetting> &oneValueSettings()
{
    static const std::vector<OneValueSetting> rows = {
        {Setting::PaperWidth, bytes({0xF4, 0x01, 0x09}), {0x34, 0x43}},
        {Setting::Density, bytes({0x60, 0x04, 0x05, 0x06}), {0x33, 0x55, 0x77}},
        {Setting::AutoLineFeed, bytes({0x58, 0x14, 0x15, 0x16}), {0x22, 0x11}},
        {Setting::Buzzer, bytes({0x42, 0x65, 0x65, 0x70}), {0x08, 0x06}},
        {Setting::Reprint, bytes({0xF4, 0x11, 0x22, 0x33}), {0x55, 0x33}},
        {Setting::Emulation, bytes({0xDC, 0x10, 0x11, 0x12, 0x15, 0x16, 0x17}), {0x55, 0x33}},
        {Setting::SmallFont, bytes({0xE5, 0x09, 0x06, 0x03}), {0xAA, 0x77}},
    };
    return rows;
}

const OneValueSetting &oneValueSetting(Setting id)
{
    return oneValueSettings()[static_cast<std::size_t>(id)];
}

int settingValue(const OneValueSetting &setting, int index)
{
    const int n = static_cast<int>(setting.values.size());
    if (index >= 0 && index < n - 1)
        return setting.values[static_cast<std::size_t>(index)];
    return setting.values.back();
}

ByteString buildSettingCommand(const OneValueSetting &setting, int index)
{
    return buildConfigCommand(setting.featureCode, settingValue(setting, index));
}

ByteString buildSerialSpeed(int code) { return buildConfigCommand(bytes({0xFD}), code); }
