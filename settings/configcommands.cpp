#include "settings/configcommands.h"

#include "core/basiccommands.h"

#include <QCoreApplication>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
};

} // namespace

const std::vector<OneValueSetting> &oneValueSettings()
{
    const std::vector<const char *> onOff = {QT_TRANSLATE_NOOP("TForm1", "启用"), QT_TRANSLATE_NOOP("TForm1", "禁用")};
    static const std::vector<OneValueSetting> rows = {
        {Setting::PaperWidth, QT_TRANSLATE_NOOP("escpos", "paper width"), bytes({0xF4, 0x01, 0x09}), {0x34, 0x43}, {"58mm", "76mm"}},
        {Setting::Density, QT_TRANSLATE_NOOP("escpos", "print density"), bytes({0x60, 0x04, 0x05, 0x06}), {0x33, 0x55, 0x77},
         {QT_TRANSLATE_NOOP("TForm1", "Light"), QT_TRANSLATE_NOOP("TForm1", "Normal"), QT_TRANSLATE_NOOP("TForm1", "Dark")}},
        {Setting::AutoLineFeed, QT_TRANSLATE_NOOP("escpos", "automatic line feed"), bytes({0x58, 0x14, 0x15, 0x16}), {0x22, 0x11}, onOff},
        {Setting::Buzzer, QT_TRANSLATE_NOOP("escpos", "buzzer"), bytes({0x42, 0x65, 0x65, 0x70}), {0x08, 0x06}, onOff},
        {Setting::Reprint, QT_TRANSLATE_NOOP("escpos", "reprint after paper-out"), bytes({0xF4, 0x11, 0x22, 0x33}), {0x55, 0x33}, onOff},
        {Setting::Emulation, QT_TRANSLATE_NOOP("escpos", "emulation mode"), bytes({0xDC, 0x10, 0x11, 0x12, 0x15, 0x16, 0x17}), {0x55, 0x33},
         {"EPSON ESC/POS", "STAR(Line/T)"}},
        {Setting::SmallFont, QT_TRANSLATE_NOOP("escpos", "small font"), bytes({0xE5, 0x09, 0x06, 0x03}), {0xAA, 0x77},
         {QT_TRANSLATE_NOOP("TForm1", "启用小字体(9*17)"), QT_TRANSLATE_NOOP("TForm1", "禁用小字体(9*17)")}},
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

const std::vector<const char *> &serialSpeedEntries()
{
    static const std::vector<const char *> entries = {"0:4800bps",  "1:9600bps",   "2:19200bps", "3:38400bps",
                                                      "4:57600bps", "5:115200bps", "6:2400bps"};
    return entries;
}

int serialSpeedBits(int code)
{
    static const int bits[] = {4800, 9600, 19200, 38400, 57600, 115200, 2400};
    return code >= 0 && code < 7 ? bits[code] : 0;
}

QString serialSpeedNeedsSerial() { return Text::tr("You must select Serial Port for Tavo-K1 with serial port!!"); }
