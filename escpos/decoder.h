#pragma once
// The printer command decoder: a byte string in, the commands it holds out,
// each with where it stands, its name as printers' manuals write it, its
// parameters, and what it does in words. It knows every command this
// program sends (both NV logo dialects, the customer display, the two status
// requests and the configuration family). No widgets, no I/O; it never fails:
// what it does not know is marked unknown, what is cut short truncated, and
// the commands always cover the input exactly, in order.
#include "core/bytestring.h"
#include "settings/configcommands.h"

#include <QString>
#include <QTextStream>

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace escpos {

enum class Kind { Command, Text, Unknown, Truncated };

// What a command does, for a program that acts on it (the virtual printer).
// It does not change when a meaning is reworded or translated.
enum class Op {
    Unknown, Truncated, Text,
    Nothing, LineFeed, CarriageReturn, FormFeed, Cancel,
    Initialise, PartialCut, FullCut, PartialCutAfterFeed, FullCutAfterFeed,
    StatusRequest, RealTimeStatusRequest, CashDrawerPulse,
    CustomerDisplayText, CustomerDisplayIndicator,
    Justification, UnidirectionalPrinting, LineSpacing, PrintAndFeed, PrintMode, Font, CodePage, Emphasis,
    Underline, PrintColour, CharacterSize, ChineseModeOn, ChineseModeOff,
    DefineNvBitImage, PrintNvBitImage, DefineDownloadedBitImage, PrintDownloadedBitImage, RasterBitImage,
    Prefix, FeedToPrintStart, BlackMark, BlackMarkOffset,
    PrintHParameter, SetHParameter, DefaultCodePage, SerialSpeed,
    Setting, // one of the one-value settings: Command::setting says which
    // The common vocabulary of Epson-compatible receipt printers, as
    // point-of-sale programs send it.
    ColumnBitImage, DefaultLineSpacing, FeedDots, ReverseFeed, Beep, InternationalSet, UpsideDown, Rotate90,
    CharacterSpacing, AbsolutePosition, RelativePosition, TabStops, Tab, Reverse, LeftMargin, PrintAreaWidth,
    MotionUnits, BarcodeHriPosition, BarcodeHriFont, BarcodeHeight, BarcodeModuleWidth, Barcode,
    SymbolSetting, SymbolStore, SymbolPrint, SymbolSizeRequest, TransmitStatus, AutoStatusBack,
    TransmitPrinterId, RealTimeRequest, RealTimeCommand,
};

struct Command {
    std::size_t offset = 0;
    std::size_t length = 0;
    Kind kind = Kind::Command;
    std::string name;         // "ESC p", "GS ( F", "US ESC US", "text", "LF"
    Op op = Op::Unknown;      // what it does
    Setting setting = Setting::PaperWidth; // with Op::Setting: which setting
    std::vector<long> params; // its parameters, in the order the command carries them (see decoder.cpp)
    QString text;             // printed text (text runs) or shown text (customer display)
    QString meaning;          // in words, translated
};

struct Options {
    // The printers start in Chinese mode: bytes from 0xA1 pair up as GB2312.
    // FS . and FS & switch it within a string.
    bool chineseMode = true;
};

std::vector<Command> decode(const ByteString &bytes, const Options &options = {});
// Each command in turn, handed on as soon as it is decoded: memory does not
// grow with the input. The walk stops where `each` returns false.
void decodeEach(const ByteString &bytes, const Options &options, const std::function<bool(const Command &)> &each);

// Neither unknown nor truncated.
inline bool known(const Command &c) { return c.kind != Kind::Unknown && c.kind != Kind::Truncated; }
// No unknown and no truncated command.
bool clean(const std::vector<Command> &commands);

// "1B 70 00 32 32 0D". With a limit, a longer run shows its first bytes,
// "…", its last four and its length.
std::string hexOf(const ByteString &bytes, std::size_t offset, std::size_t length, std::size_t limit = 0);

// One line a command: offset, name, meaning and hex (long data shortened).
QString listing(const ByteString &bytes, const std::vector<Command> &commands);
inline QString listing(const ByteString &bytes) { return listing(bytes, decode(bytes)); }
QString listingLine(const ByteString &bytes, const Command &command);
// The listing written line by line as it is decoded (a long input is never
// held as a listing); true when every command was known and whole.
bool writeListing(const ByteString &bytes, QTextStream &out, const Options &options = {});
// The same as UTF-8 bytes straight to a C stream, in 64 KB pieces.
bool writeListing(const ByteString &bytes, std::FILE *out, const Options &options = {});
// One command's line, appended as UTF-8.
void appendListingLine(std::string &out, const ByteString &bytes, const Command &command);

} // namespace escpos
