#pragma once
// Commands and exports of the logo window: NV logo, downloaded bit image,
// self-test page. Pure functions of a picture and the window's numbers.
#include "core/bytestring.h"
#include "logo/picture.h"

#include <QString>

#include <string>

enum class Dialect { Normal, Star };

// ---- NV logo ----
// Geometry of the stored image: the picture less the left offset, one white
// row added at the bottom.
Geometry nvDownloadGeometry(const Picture &pic, int leftOffset);
ByteString buildNvDownload(const Picture &pic, Dialect dialect, int leftOffset, std::int32_t threshold);
// scaling 0..3: normal, double width, double height, both
ByteString buildNvPrint(Dialect dialect, int scaling);
ByteString buildNvClear(Dialect dialect);

// The scramble of the exports: key byte and offset are fixed for the program.
constexpr int kScrambleKey = 0x5A;
constexpr int kScrambleOffset = 0x10;
std::string scrambleHex(const std::string &twoDigits);

// Assembler text of the NV logo command (".db 0x1C,0x71,..." lines, CR LF).
std::string buildExportText(const Picture &pic, bool scrambled);

// ---- downloaded bit image ----
struct BitImageSize {
    int x = 0; // units of 8 dots across
    int y = 0; // units of 8 dots down
};
BitImageSize bitImageSize(const Picture &pic, int sizeCap);
ByteString buildBitImageDefine(const Picture &pic, BitImageSize size, int leftOffset);

struct Margins {
    int left = 0, right = 0, top = 0, bottom = 0;
};
// Margins that keep the trimmed image whole: each pair a multiple of 8 and
// together narrower than the image, so the data length matches x' and y'.
bool marginsFit(BitImageSize size, const Margins &m);
ByteString buildBitImageDefineTrimmed(const Picture &pic, BitImageSize size, const Margins &m, int leftOffset);
ByteString buildBitImagePrint();
ByteString buildBitImagePrintFourSizes();

// ---- self-test page ----
struct SelfTestReadouts {
    int e4, e5, e6, e7, e8;
};
SelfTestReadouts selfTestReadouts(const Picture &pic);
ByteString buildSelfTestPage(const Picture &pic, int paddingBytes);

// What the logo window and the command line tell of the downloads.
QString nvTooLargeText();
QString marginsRefusedText();
QString nvDownloadedText();
QString bitImageDefinedText();
