#include "virtualprinter/engine.h"

#include "logo/blackmark.h"
#include "settings/configcommands.h"

#include <QCoreApplication>

#include <algorithm>

namespace vp {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(virtualprinter)
};

} // namespace

using escpos::Op;

namespace {

// The answer byte to DLE EOT n of a printer that is offline, with or
// without paper. Bits 1 and 4 are always set. n = 1, printer status: bit 3
// offline. n = 2, offline cause: bit 2 cover open, bit 5 stopped at paper end.
// n = 3, error cause: nothing is wrong with the mechanism here, so 0x12.
// n = 4, paper sensor: bits 2-3 paper near its end, bits 5-6 paper end.
char realTimeStatus(long n, bool paperEnd)
{
    switch (n) {
    case 2: return paperEnd ? '\x32' : '\x16';
    case 3: return '\x12';
    case 4: return paperEnd ? '\x7E' : '\x12';
    default: break;
    }
    return '\x1A';
}

} // namespace

const std::vector<Model> &models()
{
    static const std::vector<Model> all = {
        {"tavo80", "Tavo 80 (80 mm thermal)", 576, false},
        {"tavo58", "Tavo 58 (58 mm thermal)", 384, false},
        {"tavo76", "Tavo 76 (76 mm dot matrix)", 400, false},
        {"k3", "Tavo-K3 (58 mm, customer display)", 384, true},
    };
    return all;
}

const Model *modelById(const std::string &id)
{
    for (const Model &m : models())
        if (id == m.id)
            return &m;
    return nullptr;
}

Status statusByName(const std::string &name, bool *ok)
{
    if (ok)
        *ok = true;
    if (name == "online")
        return Status::Online;
    if (name == "offline")
        return Status::Offline;
    if (name == "paper-end")
        return Status::PaperEnd;
    if (name == "silent")
        return Status::Silent;
    if (ok)
        *ok = false;
    return Status::Online;
}

const char *statusName(Status s)
{
    switch (s) {
    case Status::Online: return "online";
    case Status::Offline: return "offline";
    case Status::PaperEnd: return "paper-end";
    case Status::Silent: break;
    }
    return "silent";
}

Engine::Engine(const Model &model) : m_model(model) { resetModes(); }

void Engine::resetModes()
{
    m_mode = 0;
    m_sizeX = m_sizeY = 1;
    m_justify = 0;
    m_lineSpacing = 30;
    m_chinese = true;
    m_underline = 0;
    m_codePage = 0;
    m_international = 0;
    m_reverse = m_upsideDown = m_rotate = false;
    m_charSpacing = 0;
    m_leftMargin = 0;
    m_areaWidth = 0;
    m_tabStops.clear();
    m_tabStopsGiven = false;
    m_hri = m_hriFont = 0;
    m_barHeight = 162;
    m_barModule = 3;
    m_qrModule = 3;
    m_qrLevel = 1;
    m_pdfColumns = m_pdfRows = 0;
    m_pdfModule = 3;
    m_pdfRowHeight = 3;
    m_pdfLevel = -1;
}

ByteString Engine::feed(const ByteString &bytes)
{
    m_pending += bytes;
    ByteString reply;
    // Each byte is decoded once: the walk stops only where a command changes
    // how the bytes after it read (Chinese mode), and goes on from there.
    for (;;) {
        const bool before = m_chinese;
        bool modeChanged = false;
        std::size_t used = 0;
        escpos::decodeEach(m_pending, escpos::Options{m_chinese}, [&](const escpos::Command &c) {
            // A command cut short may still be arriving.
            if (c.kind == escpos::Kind::Truncated && c.offset + c.length == m_pending.size())
                return false;
            used = c.offset + c.length;
            reply += answer(c);
            m_log << QStringLiteral("%1  %2").arg(QString::fromStdString(c.name), -10).arg(c.meaning);
            execute(m_pending, c);
            modeChanged = m_chinese != before;
            return !modeChanged;
        });
        m_pending.erase(0, used);
        if (!modeChanged)
            break;
    }
    return reply;
}

ByteString Engine::statusFrame() const
{
    // Automatic status back, four bytes: fixed bit 4 of the first; offline
    // (bit 3) with the cover open (bit 5); the third tells the paper, near
    // its end (bits 0-1) and at its end (bits 2-3).
    switch (m_status) {
    case Status::Online: return ByteString("\x10\x00\x00\x00", 4);
    case Status::Offline: return ByteString("\x38\x00\x00\x00", 4);
    case Status::PaperEnd: return ByteString("\x18\x00\x0F\x00", 4);
    case Status::Silent: break;
    }
    return ByteString();
}

ByteString Engine::setStatus(Status s)
{
    const bool changed = s != m_status;
    m_status = s;
    if (!changed || m_autoStatus == 0)
        return ByteString();
    return statusFrame();
}

ByteString Engine::answer(const escpos::Command &c)
{
    if (m_status == Status::Silent)
        return ByteString();
    const long n = c.params.empty() ? 1 : c.params[0];
    const bool paperEnd = m_status == Status::PaperEnd, online = m_status == Status::Online;
    switch (c.op) {
    case Op::RealTimeStatusRequest:
        if (c.name == "DLE EOT")
            return ByteString(1, online ? '\x12' : realTimeStatus(n, paperEnd));
        return ByteString(1, paperEnd ? '\x0C' : '\x00');
    case Op::StatusRequest: return ByteString(1, paperEnd ? '\x0C' : '\x00');
    case Op::TransmitStatus:
        // GS r 1: paper sensors (near end bits 0-1, end bits 2-3); GS r 2:
        // the drawer connector, closed.
        if (n == 1 || n == 49)
            return ByteString(1, paperEnd ? '\x0F' : '\x00');
        if (n == 2 || n == 50)
            return ByteString(1, '\x00');
        return ByteString();
    case Op::AutoStatusBack:
        m_autoStatus = static_cast<int>(n);
        // Enabling it answers with the present state at once.
        return m_autoStatus ? statusFrame() : ByteString();
    case Op::RealTimeCommand:
        // DLE DC4 7 1: the status in the automatic status back's frame.
        if (n == 7)
            return statusFrame();
        return ByteString();
    case Op::TransmitPrinterId: {
        switch (n) {
        case 1:
        case 49: return ByteString(1, '\x20');                                // model
        case 2:
        case 50: return ByteString(1, m_model.display ? '\x07' : '\x03');    // two-byte characters, cutter, display
        case 3:
        case 51: return ByteString(1, '\x10');                                // firmware
        case 65: return ByteString("_1.00 VP\0", 9);
        case 66: return ByteString("_TAVO\0", 6);
        case 67: return "_" + std::string(m_model.name) + std::string(1, '\0');
        default: break;
        }
        return ByteString();
    }
    default: break;
    }
    return ByteString();
}

void Engine::endJob()
{
    if (!m_pending.empty())
        m_log << Text::tr("作业结束时命令不完整，已丢弃 %1 字节").arg(m_pending.size());
    m_pending.clear();
}

void Engine::execute(const ByteString &bytes, const escpos::Command &c)
{
    const Op op = c.op;
    auto param = [&](std::size_t i, long fallback = 0) { return i < c.params.size() ? c.params[i] : fallback; };
    if (c.kind == escpos::Kind::Unknown || c.kind == escpos::Kind::Truncated) {
        ++m_counts.unknown;
        m_log << Text::tr("打印机不认识，已跳过：%1").arg(QString::fromStdString(escpos::hexOf(bytes, c.offset, c.length, 16)));
        return;
    }
    if (c.kind == escpos::Kind::Text) {
        if (m_chinese) {
            // The international set stands for the ASCII half in either mode.
            QString shown = c.text;
            if (m_international != 0)
                for (QChar &ch : shown)
                    if (ch.unicode() < 0x80)
                        ch = decodeSingleByte(ByteString(1, static_cast<char>(ch.unicode()))).at(0);
            text(shown);
            return;
        }
        text(decodeSingleByte(bytes.substr(c.offset, c.length)));
        return;
    }
    if (op == Op::LineFeed) {
        for (long i = 0; i < param(0, 1); ++i)
            flushLine(true);
    } else if (op == Op::CarriageReturn || op == Op::Nothing || op == Op::Prefix || op == Op::UnidirectionalPrinting ||
               op == Op::PrintColour || op == Op::StatusRequest || op == Op::RealTimeStatusRequest) {
    } else if (op == Op::Initialise) {
        // What waits in the line buffer is thrown away, not printed.
        m_line.clear();
        m_lineWidth = 0;
        resetModes();
        m_display = Display();
    } else if (op == Op::LineSpacing) {
        m_lineSpacing = static_cast<int>(param(0));
    } else if (op == Op::PrintAndFeed) {
        // A printed line is the first of the n lines, as LF is ESC d 1.
        const int lines = static_cast<int>(param(0));
        if (m_line.empty()) {
            feedDots(lines * m_lineSpacing);
        } else {
            flushLine(true);
            feedDots(std::max(lines - 1, 0) * m_lineSpacing);
        }
    } else if (op == Op::PrintMode) {
        m_mode = static_cast<int>(param(0));
        m_sizeX = m_sizeY = 1;
    } else if (op == Op::Font) {
        const long n = param(0);
        m_mode = (n == 1 || n == '1') ? (m_mode | 0x01) : (m_mode & ~0x01);
    } else if (op == Op::Emphasis) {
        m_mode = (param(0) & 1) ? (m_mode | 0x08) : (m_mode & ~0x08);
    } else if (op == Op::Underline) {
        const long n = param(0) >= '0' ? param(0) - '0' : param(0);
        m_underline = n == 1 || n == 2 ? static_cast<int>(n) : 0;
        m_mode &= ~0x80;
    } else if (op == Op::CharacterSize) {
        m_sizeX = static_cast<int>(((param(0) >> 4) & 7) + 1);
        m_sizeY = static_cast<int>((param(0) & 7) + 1);
    } else if (op == Op::CodePage) {
        // A single-byte table: the bytes after it are its characters.
        m_codePage = static_cast<int>(param(0));
        m_chinese = false;
    } else if (op == Op::Justification) {
        const long n = param(0);
        m_justify = static_cast<int>(n >= '0' ? n - '0' : n);
    } else if (op == Op::CashDrawerPulse) {
        pulseDrawer();
    } else if (op == Op::PartialCut || op == Op::FullCut) {
        cut();
    } else if (op == Op::PartialCutAfterFeed || op == Op::FullCutAfterFeed) {
        flushLine(false);
        feedDots(static_cast<int>(param(1)));
        cut();
    } else if (op == Op::DefineNvBitImage) {
        // The dialect must match the emulation the printer is set to.
        if ((c.name == "ESC FS q") != starMode()) {
            ++m_counts.unknown;
            m_log << Text::tr("仿真模式不接受这种写法，已跳过：%1").arg(QString::fromStdString(c.name));
            return;
        }
        std::size_t at = c.offset + (c.name == "ESC FS q" ? 4 : 3);
        m_nv.clear();
        for (long i = 0; i < param(0); ++i) {
            BitImage image;
            image.x = static_cast<int>(param(1 + 3 * i));
            image.y = static_cast<int>(param(2 + 3 * i));
            const auto n = static_cast<std::size_t>(param(3 + 3 * i));
            image.data = bytes.substr(at + 4, n);
            at += 4 + n;
            m_counts.nvBytesWritten += n;
            m_nv[static_cast<int>(i + 1)] = image;
        }
        ++m_counts.nvWrites;
    } else if (op == Op::PrintNvBitImage) {
        if ((c.name == "ESC FS p") != starMode()) {
            ++m_counts.unknown;
            m_log << Text::tr("仿真模式不接受这种写法，已跳过：%1").arg(QString::fromStdString(c.name));
            return;
        }
        const auto it = m_nv.find(static_cast<int>(param(0)));
        if (it == m_nv.end()) {
            m_log << Text::tr("没有 NV 位图 %1").arg(param(0));
            return;
        }
        const long m = param(1) >= '0' ? param(1) - '0' : param(1);
        flushLine(false);
        place(it->second.toImage((m & 1) ? 2 : 1, (m & 2) ? 2 : 1));
    } else if (op == Op::DefineDownloadedBitImage) {
        m_downloaded.x = static_cast<int>(param(0));
        m_downloaded.y = static_cast<int>(param(1));
        m_downloaded.data = bytes.substr(c.offset + 4, static_cast<std::size_t>(param(2)));
    } else if (op == Op::PrintDownloadedBitImage) {
        if (m_downloaded.empty()) {
            m_log << Text::tr("没有下载位图");
            return;
        }
        const long m = param(0) >= '0' ? param(0) - '0' : param(0);
        flushLine(false);
        place(m_downloaded.toImage((m & 1) ? 2 : 1, (m & 2) ? 2 : 1));
    } else if (op == Op::RasterBitImage) {
        const int widthBytes = static_cast<int>(param(1)), height = static_cast<int>(param(2));
        const long m = param(0) >= '0' ? param(0) - '0' : param(0);
        const int sx = (m & 1) ? 2 : 1, sy = (m & 2) ? 2 : 1;
        const std::size_t data = c.offset + 8;
        const QImage raster = dotImage(8 * widthBytes, height, sx, sy, 0, 0, [&](int col, int row) {
            const unsigned v = byteAt(bytes, data + static_cast<std::size_t>(row) * widthBytes + col / 8);
            return (v & (0x80u >> (col % 8))) != 0;
        });
        flushLine(false);
        place(raster);
    } else if (op == Op::ChineseModeOn) {
        m_chinese = true;
    } else if (op == Op::ChineseModeOff) {
        m_chinese = false;
    } else if (op == Op::BlackMark) {
        m_markedPaper = true;
    } else if (op == Op::BlackMarkOffset) {
        m_markedPaper = true;
        const int units = static_cast<int>(param(1) == 1 ? -param(2) : param(2));
        (param(0) == 1 ? m_markOffsetStart : m_markOffsetCut) = units;
    } else if (op == Op::FeedToPrintStart) {
        m_markedPaper = true;
        flushLine(false);
        const int next = (m_y / kMarkPitch + 1) * kMarkPitch + m_markOffsetStart;
        feedDots(std::max(next - m_y, 0));
    } else if (op == Op::CustomerDisplayIndicator) {
        const long n = param(0) >= '0' ? param(0) - '0' : param(0);
        m_display.priceLamp = n == 1;
        m_display.totalLamp = n == 2;
    } else if (op == Op::CustomerDisplayText) {
        m_display.text = c.text;
    } else if (op == Op::FormFeed) {
        m_display.text.clear();
    } else if (op == Op::Cancel) {
        m_display.text.clear();
    } else if (op == Op::PrintHParameter || op == Op::SetHParameter || op == Op::DefaultCodePage ||
               op == Op::SerialSpeed || op == Op::Setting) {
        configure(c);
    } else if (!executeCommon(bytes, c)) {
        m_log << Text::tr("已收到，没有可画的：%1").arg(QString::fromStdString(c.name));
    }
}

void Engine::pulseDrawer()
{
    ++m_counts.drawerPulses;
    m_log << Text::tr("钱箱脉冲");
}

void Engine::configure(const escpos::Command &c)
{
    if (c.op == Op::PrintHParameter) {
        text(Text::tr("H=%1").arg(setting(Stored::HParameter, 0)));
        flushLine(true);
        return;
    }
    const MemoryKey *key = memoryKeyOf(c);
    if (!key || c.params.empty())
        return;
    m_settings[key->stored] = static_cast<int>(c.params[0]);
    m_log << Text::tr("设置已保存：%1 = %2").arg(QLatin1String(key->name)).arg(c.params[0]);
}

QStringList Engine::takeLog()
{
    QStringList out;
    out.swap(m_log);
    return out;
}

} // namespace vp
