#pragma once
// The virtual Tavo printer's inside: it takes the bytes of a job, understands
// them with the program's decoder, keeps the firmware settings and NV images
// as a printer's memory does, draws receipts at one pixel per dot, runs the
// customer display, and answers the status requests. No I/O: the lines that
// feed it are the program's business.
#include "core/bytestring.h"
#include "escpos/decoder.h"

#include <QImage>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vp {

// The settings a printer keeps in its memory. The state file stores each
// under the name memoryKeys() gives it; those names stay as they are.
enum class Stored {
    SerialSpeed, HParameter, DefaultCodePage,
    PaperWidth, Density, AutoLineFeed, Buzzer, Reprint, Emulation, SmallFont,
};
struct MemoryKey {
    Stored stored;
    const char *name;    // the state file's key: "serialSpeed", "density", …
    const char *oldName; // what the first state files used: the decoder's English words
};
const std::vector<MemoryKey> &memoryKeys();
const MemoryKey &memoryKey(Stored stored);
// Where a configuration command keeps its value; nullptr for any other command.
const MemoryKey *memoryKeyOf(const escpos::Command &c);

struct Model {
    const char *id;       // tavo80, tavo58, tavo76, k3
    const char *name;
    int paperDots;        // printable width at one pixel a dot
    bool display;         // has the K3 customer display
};
const std::vector<Model> &models();
const Model *modelById(const std::string &id);

// What the status requests are answered with.
enum class Status { Online, Offline, PaperEnd, Silent };
Status statusByName(const std::string &name, bool *ok = nullptr);
const char *statusName(Status s);

// An image as its command defines it: x units of 8 dots across, y units of
// 8 dots down, column-major data (each column y bytes, top dot in bit 7).
struct BitImage {
    int x = 0, y = 0;
    ByteString data;
    bool empty() const { return x <= 0 || y <= 0; }
    QImage toImage(int scaleX = 1, int scaleY = 1) const; // black dots on white
};

// The K3's eight-digit display and its two lamps.
struct Display {
    QString text;       // what ESC Q A showed, at most eight digits and points
    bool priceLamp = false;
    bool totalLamp = false;
    QImage render() const;
};

struct Counts {
    int receipts = 0, cuts = 0, drawerPulses = 0, unknown = 0, beeps = 0;
    int nvWrites = 0;           // NV downloads stored
    std::size_t nvBytesWritten = 0;
};

class Engine {
public:
    explicit Engine(const Model &model);

    // The printer's memory across power cycles: settings and NV images.
    QJsonObject memory() const;
    void restore(const QJsonObject &memory);

    // Bytes of the current job; returns what the printer answers. A command
    // cut short at the end waits for the rest of it.
    ByteString feed(const ByteString &bytes);
    // The job's line closed: a command still incomplete is dropped (logged).
    void endJob();

    // A change of state; returns the automatic status frame a host enabled
    // with GS a, to go out on the line of the job in progress (empty when
    // none is enabled or nothing changed).
    ByteString setStatus(Status s);
    // The frame automatic status back sends in the present state.
    ByteString statusFrame() const;
    Status status() const { return m_status; }

    // The rate of the printer's own serial line, from its settings.
    int serialBits() const;
    // The dialect it takes NV commands in: Star emulation takes ESC FS q/p.
    bool starMode() const;
    int paperDots() const;
    int setting(Stored which, int fallback = -1) const;

    // Receipts finished by a cut since the last call, oldest first.
    std::vector<QImage> takeReceipts();
    // The paper that has come out since the last cut.
    QImage currentReceipt() const;
    // Decoded lines of what arrived, and what the printer did not understand.
    QStringList takeLog();
    void note(const QString &line) { m_log << line; }

    const Display &display() const { return m_display; }
    const Counts &counts() const { return m_counts; }
    const std::map<int, BitImage> &nvImages() const { return m_nv; }
    const BitImage &downloaded() const { return m_downloaded; }

private:
    void execute(const ByteString &bytes, const escpos::Command &c);
    // What the printer answers to a request; empty for any other command.
    ByteString answer(const escpos::Command &c);
    bool executeCommon(const ByteString &bytes, const escpos::Command &c);
    void barcode(const escpos::Command &c);
    void printSymbol(int cn);
    void columnImage(const ByteString &bytes, const escpos::Command &c);
    void moveTo(int x); // a print position in the line, in dots
    QString decodeSingleByte(const ByteString &raw) const;
    void resetModes();
    void text(const QString &s);
    // Prints the line; `advance` (dots) replaces the line's own height and
    // spacing where given, as ESC J does.
    void flushLine(bool feedEmptyLine, int advance = -1);
    void startLine(); // the line's justification and margins, fixed at its first character
    void push(QImage image, bool underline = false);
    void feedDots(int dots);
    void place(const QImage &image); // an image at the left margin, justified
    void ensureHeight(int bottom);
    void tearOffIfTooLong();
    void cut();
    void pulseDrawer(); // ESC p and DLE DC4 1: counted and logged
    void configure(const escpos::Command &c);
    uchar ink() const;
    void lay(const QImage &image, int x); // printed dots of a line or image at m_y

    // A character waiting in the line: its cell and the size it prints at.
    struct Glyph {
        QImage image; // null: a gap (a tab or a print position)
        int width = 0, height = 0;
        int underline = 0; // dots
    };

    Model m_model;
    Status m_status = Status::Online;
    std::map<Stored, int> m_settings;
    std::map<int, BitImage> m_nv;
    BitImage m_downloaded;
    Display m_display;
    Counts m_counts;
    ByteString m_pending;
    bool m_chinese = true;

    // Print modes of ESC !, ESC a, ESC 3.
    int m_mode = 0;
    int m_sizeX = 1, m_sizeY = 1; // GS !
    int m_justify = 0;
    int m_lineSpacing = 30;
    int m_underline = 0;          // ESC -: 0, 1 or 2 dots
    int m_codePage = 0;           // ESC t
    int m_international = 0;      // ESC R
    bool m_reverse = false, m_upsideDown = false, m_rotate = false;
    int m_charSpacing = 0;        // ESC SP, dots
    int m_leftMargin = 0;         // GS L, dots
    int m_areaWidth = 0;          // GS W, dots; 0: the whole line
    std::vector<int> m_tabStops;  // ESC D, in characters; every eighth until one is given
    bool m_tabStopsGiven = false;
    // Fixed when a line's first character arrives, as printers do.
    int m_lineJustify = 0, m_lineLeft = 0, m_lineArea = 0;
    bool m_lineUpsideDown = false;
    // Barcodes (GS H, GS f, GS h, GS w) and the two-dimensional symbols.
    int m_hri = 0, m_hriFont = 0, m_barHeight = 162, m_barModule = 3;
    int m_qrModule = 3, m_qrLevel = 1; // M
    ByteString m_qrData;
    int m_pdfColumns = 0, m_pdfRows = 0, m_pdfModule = 3, m_pdfRowHeight = 3, m_pdfLevel = -1;
    ByteString m_pdfData;
    int m_autoStatus = 0;         // GS a: what changes are sent
    int m_linesPrinted = 0;

    QImage m_paper;
    int m_y = 0;
    std::vector<Glyph> m_line;
    int m_lineWidth = 0;
    std::vector<QImage> m_done;
    QStringList m_log;
    int m_markOffsetStart = 0, m_markOffsetCut = 0;
    bool m_markedPaper = false; // black-mark paper: a job used its commands
};

// ESC t n: the ICU name of each table the printers carry; nullptr for a
// table they do not.
const char *codePageName(int n);

// Black marks on the roll, one every this many dots.
constexpr int kMarkPitch = 480;

// A picture of dots: `cols` × `rows` dots of `sx` × `sy` pixels each, black
// where `on(col, row)`, inside white margins of `mx` and `my` pixels.
QImage dotImage(int cols, int rows, int sx, int sy, int mx, int my, const std::function<bool(int col, int row)> &on);

// A receipt as it is best written to a file: one bit a dot with the ink's
// grey in its palette where only paper and one ink show (a tenth of the
// bytes to compress), else as it is.
QImage compactReceipt(const QImage &receipt);

} // namespace vp
