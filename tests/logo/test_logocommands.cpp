// The logo window's conversions and commands, from pictures made here.
#include "core/errors.h"
#include "logo/blackmark.h"
#include "logo/bmpload.h"
#include "logo/logocommands.h"
#include "logo/picture.h"
#include "tests/support/hex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

constexpr std::int32_t kBlack = 0;

Picture filled(int w, int h, std::int32_t colour) { return Picture(w, h, colour); }

} // namespace

TEST(Picture, DotRuleAndGeometry)
{
    EXPECT_TRUE(isDot(0x0000FFFF, kDefaultThreshold));  // yellow prints
    EXPECT_FALSE(isDot(0x00FF0000, kDefaultThreshold)); // blue does not
    EXPECT_TRUE(isDot(0x007FFFFF, kDefaultThreshold));
    EXPECT_FALSE(isDot(0x00800000, kDefaultThreshold));
    EXPECT_FALSE(isDot(kWhite, kDefaultThreshold));

    Geometry g = geometryOf(8, 8);
    EXPECT_EQ(g.bytesW, 1);
    EXPECT_EQ(g.bytesH, 1);
    EXPECT_EQ(g.padW, 0);
    EXPECT_EQ(g.nvSize, 8);
    g = geometryOf(9, 8);
    EXPECT_EQ(g.bytesW, 2);
    EXPECT_EQ(g.padW, 7);
    g = geometryOf(167, 49);
    EXPECT_EQ(g.bytesW, 21);
    EXPECT_EQ(g.bytesH, 7);
    EXPECT_EQ(g.padW, 1);
    EXPECT_EQ(g.padH, 7);
    EXPECT_EQ(g.nvSize, 1176);
    EXPECT_EQ(geometryOf(1000, 400).nvSize, 50000);
    EXPECT_EQ(geometryOf(1000, 392).nvSize, 49000);
    g = geometryOf(2100, 8);
    EXPECT_EQ(g.bytesW, 263);
    EXPECT_EQ(g.xL, 7);
    EXPECT_EQ(g.xH, 1);
    EXPECT_EQ(geometryOf(-5, 3).bytesW, 0);
}

TEST(Picture, PackingsPadWithWhite)
{
    Picture p = filled(9, 8, kBlack); // 9 wide: 7 white columns added
    const ByteString cols = packColumns(p, 0, 16, 0, 8, 0, kDefaultThreshold);
    ASSERT_EQ(cols.size(), 16u);
    EXPECT_EQ(hex(cols.substr(0, 9)), "FF FF FF FF FF FF FF FF FF");
    EXPECT_EQ(hex(cols.substr(9)), "00 00 00 00 00 00 00");
    const ByteString rows = packRows(p, 8, 2, kDefaultThreshold);
    ASSERT_EQ(rows.size(), 16u);
    EXPECT_EQ(hex(rows.substr(0, 2)), "FF 80");

    // The bit run goes on across columns when the rows are not whole bytes.
    Picture q = filled(2, 4, kWhite);
    q.set(0, 0, kBlack);
    q.set(1, 3, kBlack);
    EXPECT_EQ(hex(packColumns(q, 0, 2, 0, 4, 0, kDefaultThreshold)), "81");
    EXPECT_EQ(packColumns(q, 0, 1, 0, 4, 0, kDefaultThreshold).size(), 0u); // 4 bits left over are dropped
}

TEST(NvLogo, SamplePictureDownloadInBothDialects)
{
    const Picture p = filled(167, 49, kWhite);
    const ByteString normal = buildNvDownload(p, Dialect::Normal, 0, kDefaultThreshold);
    ASSERT_EQ(normal.size(), 1188u);
    EXPECT_EQ(hex(normal.substr(0, 11)), "1B 40 1D 54 1C 71 01 15 00 07 00");
    EXPECT_EQ(byteAt(normal, normal.size() - 1), 0x01);
    const ByteString star = buildNvDownload(p, Dialect::Star, 0, kDefaultThreshold);
    ASSERT_EQ(star.size(), 1187u);
    EXPECT_EQ(hex(star.substr(0, 10)), "1B 40 1B 1C 71 01 15 00 07 00");
    EXPECT_EQ(star.substr(10), normal.substr(11));
}

TEST(NvLogo, StoredImageHasAWhiteRowBelowAndHonoursTheOffset)
{
    const Picture tall = filled(8, 64, kBlack);
    const ByteString s = buildNvDownload(tall, Dialect::Normal, 0, kDefaultThreshold);
    EXPECT_EQ(byteAt(s, 9), 0x09); // yL
    const ByteString data = s.substr(11, s.size() - 12);
    ASSERT_EQ(data.size(), 8u * 9u);
    EXPECT_EQ(hex(data.substr(0, 9)), "FF FF FF FF FF FF FF FF 00");

    Picture wide = filled(16, 8, kWhite);
    for (int y = 0; y < 8; ++y)
        for (int x = 8; x < 16; ++x)
            wide.set(x, y, kBlack);
    const ByteString o = buildNvDownload(wide, Dialect::Normal, 8, kDefaultThreshold);
    EXPECT_EQ(hex(o.substr(7, 4)), "01 00 02 00");
    EXPECT_EQ(hex(o.substr(11, 16)), "FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00 FF 00");

    // The threshold of the download is the operator's: with 1 only black prints.
    Picture grey = filled(8, 7, 0x00101010);
    EXPECT_EQ(byteAt(buildNvDownload(grey, Dialect::Normal, 0, 1), 11), 0x00);
    EXPECT_EQ(byteAt(buildNvDownload(grey, Dialect::Normal, 0, kDefaultThreshold), 11), 0xFE);
}

TEST(NvLogo, PrintAndClearCommands)
{
    const char *normal[] = {"30", "31", "32", "33"};
    for (int m = 0; m < 4; ++m) {
        EXPECT_EQ(hex(buildNvPrint(Dialect::Normal, m)), std::string("1B 40 1B 61 01 1D 54 1C 70 01 ") + normal[m] + " 1B 40");
        EXPECT_EQ(hex(buildNvPrint(Dialect::Star, m)), std::string("1B 40 1B 1D 61 01 1B 1C 70 01 ") + normal[m] + " 1B 40");
    }
    EXPECT_EQ(hex(buildNvClear(Dialect::Normal)), "1C 71 01 01 00 01 00 00 00 00 00 00 00 00 00 01");
    EXPECT_EQ(hex(buildNvClear(Dialect::Star)), "1B 1C 71 01 01 00 01 00 00 00 00 00 00 00 00 00 01");
}

TEST(Export, PlainTextLineForLine)
{
    const std::string text = buildExportText(filled(8, 8, kWhite), false);
    EXPECT_EQ(text, "\r\n.db 0x1C,0x71,0x01,0x01,0x00,0x01,0x00,0x00,0x00,0x00"
                    "\r\n.db 0x00,0x00,0x00,0x00,0x00,0x01");
    // Exactly ten values: one line, and never an empty ".db" line at the end.
    // Every value: the seven of the header, a byte for each 8 dots of a
    // column padded to whole bytes, the closing 0x01; ten a line.
    for (int w : {8, 16, 24, 40, 72, 80})
        for (int h : {1, 8, 9, 16}) {
            const std::string t = buildExportText(filled(w, h, kBlack), false);
            const long values = 7 + w * ((h + 7) / 8) + 1;
            EXPECT_EQ(std::count(t.begin(), t.end(), 'x'), values) << w << "x" << h;
            EXPECT_EQ(std::count(t.begin(), t.end(), '\n'), (values + 9) / 10) << w << "x" << h;
            ASSERT_GE(t.size(), 6u);
            EXPECT_NE(t.substr(t.size() - 5), ".db  ") << w << "x" << h;
            EXPECT_NE(t.substr(t.size() - 4), ".db ") << w << "x" << h;
            EXPECT_EQ(t.find(" ,"), std::string::npos);
        }
}

TEST(Export, ScrambledValuesWorkedByHand)
{
    // key 5A, offset 10
    EXPECT_EQ(scrambleHex("25"), "4F"); // 15 ^ 5A
    EXPECT_EQ(scrambleHex("71"), "3B"); // 61 ^ 5A
    EXPECT_EQ(scrambleHex("FF"), "B5"); // EF ^ 5A
    EXPECT_EQ(scrambleHex("6A"), "0");  // 5A ^ 5A, one digit
    EXPECT_EQ(scrambleHex("1C"), "");   // "C": a lone digit is dropped
    EXPECT_EQ(scrambleHex("10"), "");   // "0"
    EXPECT_EQ(scrambleHex("00"), "AA"); // FFFFFFF0 -> A5A5A5AA
    EXPECT_EQ(scrambleHex("01"), "AB"); // FFFFFFF1 -> A5A5A5AB

    // 1C scrambles to nothing, so every break after it falls one value-part
    // earlier and the tenth value is split across the lines.
    const std::string text = buildExportText(filled(8, 8, kWhite), true);
    EXPECT_EQ(text, "\r\n.db 0x,0x3B,0xAB,0xAB,0xAA,0xAB,0xAA,0xAA,0xAA,0xAA,0"
                    "\r\n.db  xAA,0xAA,0xAA,0xAA,0xAA,0xAB");
}

TEST(BitImage, SizeCapAndDefine)
{
    BitImageSize s = bitImageSize(filled(2048, 400, kBlack), 1536);
    EXPECT_EQ(s.x, 255);
    EXPECT_EQ(s.y, 6);
    const ByteString big = buildBitImageDefine(filled(2048, 400, kBlack), s, 0);
    const std::string head = "xL=255;yL=6\n";
    ASSERT_EQ(big.substr(0, head.size()), head);
    EXPECT_EQ(hex(big.substr(head.size(), 4)), "1D 2A FF 06");
    EXPECT_EQ(big.size(), head.size() + 4 + 8u * 255 * 6);

    s = bitImageSize(filled(167, 49, kWhite), 1536);
    EXPECT_EQ(s.x, 21);
    EXPECT_EQ(s.y, 7);
    const ByteString sample = buildBitImageDefine(filled(167, 49, kWhite), s, 0);
    EXPECT_EQ(sample.substr(0, 10), "xL=21;yL=7");
    EXPECT_EQ(sample.size(), 11u + 4u + 1176u);
    EXPECT_EQ(bitImageSize(Picture(), 1536).y, 0);
    // The edges: 255 bytes across and 48 down at most, and the size cap
    // met exactly or missed by one; the cap weighs the image as sent, 2 × 48
    // bytes, not the picture's 2 × 50.
    const struct {
        int w, h, cap, x, y;
    } edges[] = {{2032, 8, 1536, 254, 1}, {2040, 8, 1536, 255, 1}, {2041, 8, 1536, 255, 1},
                 {8, 376, 1536, 1, 47},   {8, 384, 1536, 1, 48},   {8, 385, 1536, 1, 48},
                 {64, 64, 64, 8, 8},      {64, 64, 63, 8, 7},      {64, 64, 0, 8, 0},
                 {16, 400, 99, 2, 48},    {64, 64, -8, 8, 0}};
    for (const auto &e : edges) {
        const BitImageSize edge = bitImageSize(filled(e.w, e.h, kBlack), e.cap);
        EXPECT_EQ(edge.x, e.x) << e.w << "x" << e.h << " cap " << e.cap;
        EXPECT_EQ(edge.y, e.y) << e.w << "x" << e.h << " cap " << e.cap;
    }
    EXPECT_EQ(hex(buildBitImagePrint()), "1B 61 00 1D 2F 00 0A");
    EXPECT_EQ(hex(buildBitImagePrintFourSizes()), "1D 2F 00 1D 2F 01 1D 2F 02 1D 2F 03");
}

TEST(BitImage, TrimmedMargins)
{
    Picture p = filled(32, 16, kWhite);
    for (int y = 0; y < 16; ++y)
        p.set(8, y, kBlack); // the first column that survives the trim
    const BitImageSize s = bitImageSize(p, 1536);
    const Margins m{8, 8, 0, 0};
    ASSERT_TRUE(marginsFit(s, m));
    const ByteString t = buildBitImageDefineTrimmed(p, s, m, 0);
    const std::string head = "xL=4;yL=2\n";
    ASSERT_EQ(t.substr(0, head.size()), head);
    EXPECT_EQ(hex(t.substr(head.size(), 4)), "1D 2A 02 02");
    const ByteString data = t.substr(head.size() + 4);
    ASSERT_EQ(data.size(), 32u);
    EXPECT_EQ(hex(data.substr(0, 4)), "FF FF 00 00");
    // Untrimmed, the offset moves where the columns are taken from just the same.
    EXPECT_EQ(hex(buildBitImageDefine(p, s, 8).substr(head.size() + 4, 4)), "FF FF 00 00");

    EXPECT_TRUE(marginsFit(s, {4, 4, 3, 5}));
    // Margins count together: 4 + 4 dots across and 3 + 5 down are one byte each.
    EXPECT_EQ(hex(buildBitImageDefineTrimmed(p, s, {4, 4, 3, 5}, 0).substr(head.size(), 4)), "1D 2A 03 01");
    EXPECT_FALSE(marginsFit(s, {4, 0, 0, 0}));   // not whole bytes
    EXPECT_FALSE(marginsFit(s, {16, 16, 0, 0})); // nothing left
    EXPECT_FALSE(marginsFit(s, {-8, 8, 0, 0}));
    EXPECT_FALSE(marginsFit(s, {0, 0, 8, 8}));
}

TEST(SelfTest, PageOfAnEightByEightPicture)
{
    Picture p = filled(8, 8, kWhite);
    for (int i = 0; i < 8; ++i)
        p.set(i, i, kBlack);
    const ByteString page = buildSelfTestPage(p, 3);
    const std::string raster = hex(bytes({0x1D, 0x76, 0x30, 0x30, 0x01, 0x00, 0x08, 0x00, 0x80, 0x40, 0x20, 0x10, 0x08,
                                          0x04, 0x02, 0x01, 0x0A}));
    const std::string start = "1B 40 1B 61 31 1B 21 30 53 65 6C 66 74 65 73 74 0A 0A " + raster + " 1B 61 30 00 00 00 1B 21 00";
    EXPECT_EQ(hex(page.substr(0, 44)), start);
    EXPECT_EQ(hex(page.substr(page.size() - 7)), "1B 72 00 1B 69 1B 40");
    const std::size_t raster2 = page.rfind(std::string("\x1D\x76\x30\x30", 4));
    ASSERT_NE(raster2, std::string::npos);
    EXPECT_EQ(hex(page.substr(raster2 - 3, 3)), "1B 61 31");
    EXPECT_EQ(page.substr(raster2 + 17, 3), std::string("\x1B\x21\x28", 3));
    EXPECT_EQ(page.substr(raster2 + 20, 17), "*** Completed ***");
    EXPECT_EQ(page.substr(raster2 + 37, 8), std::string(8, '\n'));
    // Character samples: 5 x 43 + 1, 3, 5 x 57 + 1, 5 x 43 + 1 bytes between the raster images.
    const std::size_t samples = 44;
    EXPECT_EQ(raster2 - 3 - samples, 5u * 43 + 1 + 3 + 5 * 57 + 1 + 5 * 43 + 1);
    EXPECT_EQ(byteAt(page, samples), 0x21);
    EXPECT_EQ(byteAt(page, samples + 41), 0x4A);
    EXPECT_EQ(hex(page.substr(samples + 5 * 43 + 1, 4)), "1B 21 01 21"); // the 56 columns are font B's, from "!"
    const std::size_t gb = samples + 5 * 43 + 1 + 3 + 5 * 57 + 1;
    EXPECT_EQ(hex(page.substr(gb, 4)), "B0 A1 B0 A2");
    // Each sample row starts one character further on.
    EXPECT_EQ(byteAt(page, samples + 43), 0x22);
    EXPECT_EQ(hex(page.substr(gb + 43, 4)), "B0 A2 B0 A3");

    EXPECT_EQ(buildSelfTestPage(p, 0).size() + 3, page.size());
    EXPECT_EQ(buildSelfTestPage(p, -4).size() + 3, page.size());
    // A picture wider than it is tall: a raster row for each picture row.
    const ByteString wide = buildSelfTestPage(filled(16, 2, kBlack), 0);
    EXPECT_NE(wide.find(ByteString("\x1D\x76\x30\x30\x02\x00\x02\x00\xFF\xFF\xFF\xFF\x0A", 13)), std::string::npos);
    const SelfTestReadouts r = selfTestReadouts(filled(2100, 300, kWhite));
    EXPECT_EQ(r.e4, 263 % 256);
    EXPECT_EQ(r.e5, 1);
    EXPECT_EQ(r.e6, 300 % 256);
    EXPECT_EQ(r.e7, 1);
    EXPECT_EQ(r.e8, 263 * 300);
}

TEST(BlackMark, MillimetresToMotionUnits)
{
    EXPECT_EQ(motionUnits(10), 57);
    EXPECT_EQ(hex(buildMarkOffset(MarkTarget::PrintStart, MarkDirection::Forward, 57)),
              "1D 54 1D 28 46 04 00 01 00 39 00");
    EXPECT_EQ(motionUnits(50), 283);
    EXPECT_EQ(motionUnits(100), 567);
    EXPECT_EQ(hex(buildMarkOffset(MarkTarget::PrintStart, MarkDirection::Backward, 567)),
              "1D 54 1D 28 46 04 00 01 01 37 02");
    EXPECT_EQ(motionUnits(300), 1701);
    EXPECT_EQ(hex(buildMarkOffset(MarkTarget::Cut, MarkDirection::Forward, 1701)), "1D 54 1D 28 46 04 00 02 00 A5 06");
    EXPECT_EQ(motionUnits(-5), -28);
    EXPECT_EQ(motionUnits(0.0882), 0); // exactly half a unit goes to the even neighbour
    // The largest offset the two bytes hold is taken; one unit more is not.
    EXPECT_EQ(motionUnits(11560.37), 65535);
    EXPECT_EQ(markOffsetRefusal(11560.37, MarkDirection::Forward), QString());
    EXPECT_EQ(markOffsetRefusal(11560.47, MarkDirection::Forward), QStringLiteral("距离太大，超出打印机可设置的范围！"));
    EXPECT_EQ(hex(buildFeedToPrintStart("A", "B")), "41 0A 42 1B 64 05 0A 1D 54 1D 0C 0D");
    EXPECT_EQ(hex(buildFeedToCut("A", "B")), "41 0A 42 1B 64 05 0A 1D 54 1D 56 42 0D");
}

namespace {

// The packing rule spelled out dot by dot, to hold the fast packing to.
ByteString referenceColumns(const Picture &pic, int firstCol, int colCount, int firstRow, int rowCount, int offset,
                            std::int32_t threshold)
{
    ByteString out;
    unsigned acc = 0;
    int bits = 0;
    for (int c = firstCol; c < firstCol + colCount; ++c)
        for (int r = firstRow; r < firstRow + rowCount; ++r) {
            acc = (acc << 1) | (isDot(pic.at(c + offset, r), threshold) ? 1u : 0u);
            if (++bits == 8) {
                out.push_back(static_cast<char>(acc));
                acc = 0;
                bits = 0;
            }
        }
    return out;
}

} // namespace

TEST(Picture, FastPackingsMatchTheDotByDotRule)
{
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int round = 0; round < 200; ++round) {
        const std::int32_t t = round % 3 == 0 ? 0x01000000 : kDefaultThreshold; // also white as a dot
        Picture p(1 + static_cast<int>(next() % 40), 1 + static_cast<int>(next() % 30));
        // Half the pixels lie at the threshold or beside it: the boundary
        // is where a fast path goes wrong.
        for (auto &c : p.pixels)
            c = (next() >> 16) % 2 ? t - 1 + static_cast<std::int32_t>((next() >> 16) % 3)
                                   : static_cast<std::int32_t>(next() & 0x00FFFFFF);
        const int firstCol = static_cast<int>(next() % 9) - 4, firstRow = static_cast<int>(next() % 9) - 4;
        const int offset = static_cast<int>(next() % 17) - 8;
        const int whole = round % 2 ? ~7 : ~0; // every other round in whole bytes both ways, the fast path
        const int cols = static_cast<int>(next() % 48) & whole, rows = static_cast<int>(next() % 40) & whole;
        SCOPED_TRACE(round);
        EXPECT_EQ(packColumns(p, firstCol, cols, firstRow, rows, offset, t),
                  referenceColumns(p, firstCol, cols, firstRow, rows, offset, t));
        const int bytesW = static_cast<int>(next() % 8);
        ByteString rowsRef;
        for (int r = 0; r < rows; ++r)
            for (int j = 0; j < bytesW; ++j) {
                unsigned b = 0;
                for (int k = 0; k < 8; ++k)
                    b = (b << 1) | (isDot(p.at(8 * j + k, r), t) ? 1u : 0u);
                rowsRef.push_back(static_cast<char>(b));
            }
        EXPECT_EQ(packRows(p, rows, bytesW, t), rowsRef);
    }
}

namespace {

// A BMP file by hand: the 40-byte header, then `extra` (masks or palette),
// then `pixels` as stored.
std::string bmpFile(int width, int height, int bits, std::uint32_t compression, const std::string &extra,
                    const std::string &pixels)
{
    auto le = [](std::string &s, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    std::string s = "BM";
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(extra.size());
    le(s, offset + static_cast<std::uint32_t>(pixels.size()), 4);
    le(s, 0, 4);
    le(s, offset, 4);
    le(s, 40, 4);
    le(s, static_cast<std::uint32_t>(width), 4);
    le(s, static_cast<std::uint32_t>(height), 4);
    le(s, 1, 2);
    le(s, static_cast<std::uint32_t>(bits), 2);
    le(s, compression, 4);
    le(s, static_cast<std::uint32_t>(pixels.size()), 4);
    le(s, 2835, 4);
    le(s, 2835, 4);
    le(s, 0, 4);
    le(s, 0, 4);
    return s + extra + pixels;
}

Picture loaded(const std::string &bytes)
{
    const std::string path = ::testing::TempDir() + "tavo-bmp-test.bmp";
    std::ofstream(path, std::ios::binary) << bytes;
    return loadBmp(QString::fromStdString(path));
}

} // namespace

// The reader without Qt's image plugin: the depths and encodings that the
// window's tests do not write, read as their masks say.
TEST(BmpReading, SixteenBitsAndPaletteBounds)
{
    const std::string masks565("\x00\xF8\x00\x00\xE0\x07\x00\x00\x1F\x00\x00\x00", 12);
    const std::string masks8888("\x00\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00\x00\x00\x00\x00\x00\xFF", 16);
    const std::string masks555("\x00\x7C\x00\x00\xE0\x03\x00\x00\x1F\x00\x00\x00", 12);
    // The masks then stand inside the header, where a 40-byte one leaves them after it.
    auto header56 = [](std::string file) { file[14] = 56; return file; };
    const struct {
        const char *what;
        std::string file;
        std::vector<std::int32_t> pixels; // 0x00BBGGRR
    } rows[] = {
        // 5-5-5 without masks: full white, full blue, a red of 16/31.
        {"16-bit 555", bmpFile(3, 1, 16, 0, "", std::string("\xFF\x7F\x1F\x00\x00\x40\x00\x00", 8)),
         {0xFFFFFF, 0xFF0000, 0x000084}},
        // 5-6-5 by its masks: full green, one step of blue.
        {"16-bit 565", bmpFile(2, 1, 16, 3, masks565, std::string("\xE0\x07\x01\x00", 4)), {0x00FF00, 0x080000}},
        // 32 bits without masks: B G R and an unused byte.
        {"32-bit", bmpFile(1, 1, 32, 0, "", std::string("\x10\x20\x30\x00", 4)), {0x102030}},
        // A palette entry is stored B G R too.
        {"8-bit palette", bmpFile(1, 1, 8, 0, std::string("\x10\x20\x30\x00", 4), std::string(4, '\0')), {0x102030}},
        // With no count in the header, a palette holds as many colours as the depth allows: 256, not 16.
        {"8-bit palette, entry 16", bmpFile(1, 1, 8, 0, std::string(64, '\xFF') + std::string("\x10\x20\x30\x00", 4),
                                            std::string("\x10\x00\x00\x00", 4)),
         {0x102030}},
        // RLE8: one black pixel in the bottom row (rows are stored bottom
        // up), a delta of one pixel right and one row up from where it left
        // off, another black pixel; the rest is paper.
        {"RLE8 delta", bmpFile(3, 2, 8, 1, std::string("\xFF\xFF\xFF\x00\x00\x00\x00\x00", 8),
                               std::string("\x01\x01\x00\x02\x01\x01\x01\x01\x00\x01", 10)),
         {0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF}},
        // 1-5-5-5 with its alpha mask as a fourth mask: opaque black, then clear black on white paper.
        {"16-bit alpha",
         bmpFile(2, 1, 16, 3, masks555 + std::string("\x00\x80\x00\x00", 4), std::string("\x00\x80\x00\x00", 4)),
         {0x000000, 0xFFFFFF}},
        // 8-8-8-8 by its masks, the alpha mask told by the compression (6): a grey of 1 at half alpha
        // is laid on white as 128, rounded, not cut to 127.
        {"32-bit alpha", bmpFile(1, 1, 32, 6, masks8888, std::string("\x01\x01\x01\x80", 4)), {0x808080}},
        // The same in a 56-byte header, whose fourth mask is the alpha mask whatever the compression (3).
        {"32-bit alpha, 56-byte header", header56(bmpFile(1, 1, 32, 3, masks8888, std::string("\x01\x01\x01\x80", 4))),
         {0x808080}},
        // RLE4: a literal of five pixels (three bytes and a pad byte), then a run of one.
        {"RLE4 odd literal",
         bmpFile(6, 1, 4, 2, std::string("\xFF\xFF\xFF\x00\x00\x00\x00\x00\x00\x00\xFF\x00\xFF\x00\x00\x00", 16),
                 std::string("\x00\x05\x12\x31\x20\x00\x01\x33\x00\x01", 10)),
         {0x000000, 0x0000FF, 0xFF0000, 0x000000, 0x0000FF, 0xFF0000}},
        // The widest picture taken: 32767 dots, one row of 4096 bytes.
        {"widest", bmpFile(32767, 1, 1, 0, std::string("\xFF\xFF\xFF\x00\x00\x00\x00\x00", 8), std::string(4096, '\xFF')),
         std::vector<std::int32_t>(32767, 0)},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.what);
        const Picture p = loaded(r.file);
        EXPECT_EQ(p.pixels, r.pixels);
    }
    // Refused, not drawn as whatever memory held.
    const std::string palette("\xFF\xFF\xFF\x00\x00\x00\x00\x00", 8);
    // Three colours stored, the header's count (patched below) uses two.
    const std::string indexTwo =
        bmpFile(1, 1, 8, 0, palette + std::string("\x00\x00\xFF\x00", 4), std::string("\x02\x00\x00\x00", 4));
    const std::string indexZero = bmpFile(1, 1, 8, 0, palette, std::string(4, '\0'));
    const std::string folder = ::testing::TempDir();
    const struct {
        const char *what;
        std::string file;
        const char *told;
        std::string path = {}; // loaded from here, not from `file`
    } refused[] = {
        {"no BMP at all", "GIF89a" + std::string(60, '\0'), "不是有效的 BMP 图像"},
        {"a header size (20) that no BMP has", indexZero.substr(0, 14) + '\x14' + indexZero.substr(15),
         "不是有效的 BMP 图像"},
        {"a header cut short", indexZero.substr(0, 40), "文件不完整"},
        {"no width", bmpFile(0, 1, 8, 0, palette, std::string(4, '\0')), "图像大小无效"},
        {"no height", bmpFile(1, 0, 8, 0, palette, ""), "图像大小无效"},
        {"no such file", "", "文件不存在", folder + "no-such-picture.bmp"},
        {"a folder", "", "文件无法读取", folder},
        {"an index past the palette's two colours (2, the first one past)",
         indexTwo.substr(0, 46) + std::string("\x02\x00\x00\x00", 4) + indexTwo.substr(50), "像素的颜色不在调色板中"},
        {"a palette that the header's size (65576) puts past the file's end",
         indexZero.substr(0, 16) + '\x01' + indexZero.substr(17), "像素的颜色不在调色板中"},
        {"too wide", bmpFile(32768, 1, 1, 0, palette, std::string(4096, '\0')), "图像太大（32768 × 1 像素）"},
        {"a compression it does not know (JPEG)", bmpFile(1, 1, 24, 4, "", std::string(4, '\0')), "图像数据无效"},
    };
    for (const auto &r : refused) {
        std::string told;
        try {
            r.path.empty() ? loaded(r.file) : loadBmp(QString::fromStdString(r.path));
        } catch (const AppError &e) {
            told = e.what();
        }
        EXPECT_NE(told.find(r.told), std::string::npos) << r.what << ": " << told;
    }
}
