#include "devices/statuscheck.h"

const PrinterSeries &printerSeries(int index)
{
    static const PrinterSeries dleEot{bytes({0x10, 0x04, 0x01}), 0x08, "00000", "88888"};
    static const PrinterSeries escV{bytes({0x1B, 0x76}), 0x04, "00000", "44444"};
    return index == 3 ? escV : dleEot;
}

std::string statusString(const ByteString &reply, int statusBit)
{
    std::string s;
    for (char c : reply)
        s += std::to_string(static_cast<std::uint8_t>(c) & statusBit);
    return s;
}

StatusVerdict judgeStatus(const std::string &status, const PrinterSeries &series)
{
    if (status == series.online)
        return StatusVerdict::Online;
    if (status == series.offline)
        return StatusVerdict::Offline;
    return StatusVerdict::NotFound;
}
