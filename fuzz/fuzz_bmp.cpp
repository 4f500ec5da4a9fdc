// A BMP file through loading and every logo-window command builder, with the
// window's number fields fuzzed as well. Lengths that the commands announce
// must match the data they carry.
#include "core/errors.h"
#include "fuzz/check.h"
#include "logo/bmpload.h"
#include "logo/logocommands.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QFile>
#include <QString>

#include <cstdlib>
#include <unistd.h>

namespace {

const QString &scratchFile()
{
    static const QString path = QStringLiteral("/tmp/tavo-fuzz-%1.bmp").arg(::getpid());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const int offset = fdp.ConsumeIntegralInRange(-16, 64);
    const std::int32_t threshold = fdp.ConsumeIntegral<std::int32_t>();
    const Margins margins{fdp.ConsumeIntegralInRange(-16, 80), fdp.ConsumeIntegralInRange(-16, 80),
                          fdp.ConsumeIntegralInRange(-16, 80), fdp.ConsumeIntegralInRange(-16, 80)};
    const int sizeCap = fdp.ConsumeIntegralInRange(-8, 4000);
    const int padding = fdp.ConsumeIntegralInRange(-8, 2048);
    const std::string file = fdp.ConsumeRemainingBytesAsString();
    {
        QFile out(scratchFile());
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        out.write(file.data(), static_cast<qint64>(file.size()));
    }
    Picture pic;
    try {
        pic = loadBmp(scratchFile());
    } catch (const AppError &) {
        return 0; // told to the operator; nothing else happens
    }
    check(pic.width > 0 && pic.height > 0);
    check(pic.pixels.size() == static_cast<std::size_t>(pic.width) * static_cast<std::size_t>(pic.height));

    const Geometry nv = nvDownloadGeometry(pic, offset);
    if (nv.nvSize < kNvSizeLimit) {
        const ByteString normal = buildNvDownload(pic, Dialect::Normal, offset, threshold);
        const ByteString star = buildNvDownload(pic, Dialect::Star, offset, threshold);
        check(normal.size() == 11u + static_cast<std::size_t>(nv.nvSize) + 1u);
        check(star.size() + 1 == normal.size());
    }
    if (geometryOf(pic.width, pic.height).nvSize < kNvSizeLimit) {
        const std::string plain = buildExportText(pic, false);
        const std::string scrambled = buildExportText(pic, true);
        check(plain.rfind("\r\n.db ", 0) == 0);
        check(plain.size() < 2 || plain.compare(plain.size() - 5, 5, ".db  ") != 0);
        (void)scrambled;
    }
    const BitImageSize bits = bitImageSize(pic, sizeCap);
    check(bits.x >= 0 && bits.x <= 255 && bits.y >= 0 && bits.y <= 48);
    const ByteString define = buildBitImageDefine(pic, bits, offset);
    check(define.size() >= 8u * static_cast<std::size_t>(bits.x) * static_cast<std::size_t>(bits.y));
    const ByteString trimmed = buildBitImageDefineTrimmed(pic, bits, margins, offset);
    if (marginsFit(bits, margins)) {
        const std::size_t x = static_cast<std::size_t>(bits.x - (margins.left + margins.right) / 8);
        const std::size_t y = static_cast<std::size_t>(bits.y - (margins.top + margins.bottom) / 8);
        const std::size_t head = trimmed.find('\n') + 1 + 4;
        check(trimmed.size() - head == 8 * x * y);
    }
    if (static_cast<long long>(pic.width) * pic.height <= 4 * 1024 * 1024) {
        const ByteString page = buildSelfTestPage(pic, padding);
        check(page.size() > 2u * static_cast<std::size_t>(pic.height));
    }
    return 0;
}
