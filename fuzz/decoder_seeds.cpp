// Writes the bytes of every command builder into a folder, one file each:
// the seeds of the decoder's fuzzing, made by the builders themselves.
#include "core/basiccommands.h"
#include "devices/ledcommands.h"
#include "devices/statuscheck.h"
#include "logo/blackmark.h"
#include "logo/logocommands.h"
#include "settings/configcommands.h"

#include <fstream>
#include <string>
#include <utility>
#include <vector>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    const std::string dir = argv[1];
    Picture pic(23, 17);
    for (int i = 0; i < 23; ++i)
        pic.set(i, i % 17, 0);
    const bool widths[3] = {true, true, true};
    std::vector<std::pair<std::string, ByteString>> seeds = {
        {"test", buildTestPrint(2, widths)},
        {"drawer", buildCashDrawer()},
        {"cut", buildCut()},
        {"hparam", buildPrintHParameter() + buildSetHParameter(9)},
        {"codepage", buildPrintCodePage() + buildSetCodePage(2)},
        {"speed", buildSerialSpeed(5)},
        {"nv-normal", buildNvDownload(pic, Dialect::Normal, 0, kDefaultThreshold)},
        {"nv-star", buildNvDownload(pic, Dialect::Star, 2, kDefaultThreshold)},
        {"nv-print", buildNvPrint(Dialect::Normal, 2) + buildNvPrint(Dialect::Star, 1)},
        {"nv-clear", buildNvClear(Dialect::Normal) + buildNvClear(Dialect::Star)},
        {"bitimage", buildBitImageDefine(pic, bitImageSize(pic, 1536), 0) + buildBitImagePrint()},
        {"bitimage-trimmed", buildBitImageDefineTrimmed(pic, bitImageSize(pic, 1536), {8, 0, 0, 8}, 0) +
                                 buildBitImagePrintFourSizes()},
        {"selftest", buildSelfTestPage(pic, 2)},
        {"marks", buildMarkOffset(MarkTarget::PrintStart, MarkDirection::Forward, 300) +
                      buildMarkOffset(MarkTarget::Cut, MarkDirection::Backward, 5)},
        {"mark-demos", buildFeedToPrintStart("\xBA\xDA", "a") + buildFeedToCut("b", "\xB1\xEA")},
        {"led", buildLedUnitPrice() + buildLedTotal() + buildLedAmount("12.50") + buildLedClear() +
                    buildLedClearLine() + buildLedInit()},
        {"status", printerSeries(0).request + printerSeries(3).request},
    };
    for (const OneValueSetting &s : oneValueSettings())
        seeds.emplace_back(std::string("setting-") + std::to_string(static_cast<int>(s.id)), buildSettingCommand(s, 0));
    for (const auto &seed : seeds) {
        std::ofstream out(dir + "/" + seed.first, std::ios::binary);
        out.write(seed.second.data(), static_cast<std::streamsize>(seed.second.size()));
        if (!out)
            return 1;
    }
    return 0;
}
