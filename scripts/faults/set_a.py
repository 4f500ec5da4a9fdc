# One plausible single-line fault a row: id, area, file, the line as it stands, the line with the fault, the test binary of its area.
# id, area, file, old, new, binaries
F = [
# command builders
("B1","builders","settings/configcommands.cpp","if (index >= 0 && index < n - 1)","if (index > 0 && index < n - 1)","test_commands"),
("B2","builders","logo/blackmark.cpp","mm > kMaxBackwardMm","mm >= kMaxBackwardMm","test_commands"),
("B3","builders","settings/configcommands.cpp","code >= 0 && code < 7 ?","code >= 0 && code < 6 ?","test_commands"),
("B4","builders","logo/logocommands.cpp","std::clamp(scaling, 0, 3)","std::clamp(scaling, 0, 2)","test_commands"),
("B5","builders","logo/logocommands.cpp","return m.left + m.right < 8 * size.x && m.top + m.bottom < 8 * size.y;","return m.left + m.right <= 8 * size.x && m.top + m.bottom < 8 * size.y;","test_commands"),
("B6","builders","logo/logocommands.cpp","return {g.bytesW % 256, g.bytesW / 256, pic.height % 256, pic.height / 256, g.bytesW * pic.height};","return {g.bytesW % 256, g.bytesW / 256, pic.height % 256, pic.height / 256, g.bytesW * g.bytesH * 8};","test_commands"),
# decoder
("D1","decoder","escpos/decoder_gs.cpp",".arg((n >> 4) + 1).arg((n & 0x0F) + 1)",".arg((n & 0x0F) + 1).arg((n >> 4) + 1)","test_commands"),
("D2","decoder","escpos/decoder_gs.cpp","y = long(at(pos + 6)) + 256 * long(at(pos + 7));\n        const std::size_t data = static_cast<std::size_t>(x)","y = long(at(pos + 6)) + 256 * long(at(pos + 6));\n        const std::size_t data = static_cast<std::size_t>(x)","test_commands"),
("D3","decoder","escpos/decoder_gs.cpp","n >= 1 && n <= 4 ? Text::tr(kinds[n - 1])","n >= 1 && n < 4 ? Text::tr(kinds[n - 1])","test_commands"),
("D4","decoder","escpos/decoder_gs.cpp","const bool full = m == 65 || m == 97 || m == 103;","const bool full = m == 65 || m == 97;","test_commands"),
("D5","decoder","escpos/decoder_esc.cpp",".arg(pin).arg(2 * on).arg(2 * off)",".arg(pin).arg(2 * on).arg(off)","test_commands"),
# command line
("C1","cli","cli/cli.cpp","c.index = n + 1;","c.index = n;","test_windows"),
("C2","cli","cli/cli.cpp","if (isNumber && v >= 0 && v < static_cast<int>(entries.size()))","if (isNumber && v >= 0 && v <= static_cast<int>(entries.size()))","test_windows"),
("C3","cli","cli/cli.cpp","if (text.size() > 9)","if (text.size() >= 9)","test_windows"),
("C4","cli","cli/cli.cpp","reply.empty() ? -1 : byteAt(reply, reply.size() - 1)","reply.empty() ? -1 : byteAt(reply, 0)","test_windows"),
("C5","cli","cli/cli.cpp","(!result.successOnNetworkOnly || route.kind == Route::Network)","(result.successOnNetworkOnly || route.kind == Route::Network)","test_windows"),
# transfer layer
("T1","transfer","ui/transferdialog.cpp","static_cast<long long>((total - done) / rate + 0.5)","static_cast<long long>(total / rate + 0.5)","test_windows"),
("T2","transfer","core/transfer.cpp","rate = double(done - m_doneAtFirst) * 1000.0","rate = double(done) * 1000.0","test_windows"),
("T3","transfer","core/errors.cpp","if (done == 0 || done >= total)","if (done == 0 || done > total)","test_windows"),
("T4","transfer","core/transferlog.cpp","m_entries.size() > kMaxEntries","m_entries.size() >= kMaxEntries","test_windows"),
("T5","transfer","core/transferlog.cpp","m_bytes -= m_entries.front().bytes.size() + m_entries.front().answer.size();","m_bytes -= m_entries.front().bytes.size();","test_windows"),
# pictures and BMP
("P1","pictures","logo/picture.cpp","g.xH = g.bytesW / 256;","g.xH = g.bytesW / 255;","test_commands"),
("P2","pictures","logo/picture.cpp","(xk >= 0 && xk < pic.width) ? row[xk] : kWhite","(xk >= 0 && xk <= pic.width) ? row[xk] : kWhite","test_commands"),
("P3","pictures","logo/bmpload.cpp","palette.push_back({f.u8(at + 2), f.u8(at + 1), f.u8(at), 255});","palette.push_back({f.u8(at), f.u8(at + 1), f.u8(at + 2), 255});","test_commands"),
("P4","pictures","logo/bmpload.cpp","* 255 + top / 2) / top","* 255) / top","test_commands"),
("P5","pictures","logo/bmpload.cpp","row += f.u8(at + 1);","row += f.u8(at);","test_commands"),
("P6","pictures","logo/bmpload.cpp","if (b.width > kMaxPictureSide ||","if (b.width >= kMaxPictureSide ||","test_commands"),
# network library
("N1","netlib","transport/tavonetio/netsocket_posix.cpp","static_cast<long long>(info.tcpi_bytes_acked) - 1 : 0","static_cast<long long>(info.tcpi_bytes_acked) : 0","test_transports"),
("N2","netlib","transport/tavonetio/tavonetio.cpp","            last = taken;\n            deadline = Deadline::in(static_cast<std::uint64_t>(g_sendTimeoutMs));","            last = taken;","test_transports"),
("N3","netlib","transport/tavonetio/address.cpp","return port >= 1 && port <= 65535","return port >= 0 && port <= 65535","test_transports"),
("N4","netlib","transport/tavonetio/address.cpp","label == 0 || label > 63 ||","label == 0 || label > 64 ||","test_transports"),
("N5","netlib","transport/tavonetio/tavonetio.cpp","            g_handed += static_cast<int32_t>(n);\n            deadline = Deadline::in(static_cast<std::uint64_t>(g_sendTimeoutMs));","            g_handed += static_cast<int32_t>(n);","test_transports"),
# serial host layer
("S1","serial","transport/comhost_posix_io.cpp","w.deadline = transferDeadline(w.multiplier, w.constant, w.count - taken);","w.deadline = transferDeadline(w.multiplier, w.constant, w.count);","test_transports"),
("S2","serial","transport/comhost_posix_io.cpp","if ((flags & kPurgeTxClear) && dev->unsentRemainder) {","if (flags & kPurgeTxClear) {","test_transports"),
("S3","serial","transport/comhost_posix_line.cpp","case 1: tio.c_cflag |= PARENB | PARODD; break;\n    case 2: tio.c_cflag |= PARENB; break;","case 1: tio.c_cflag |= PARENB; break;\n    case 2: tio.c_cflag |= PARENB | PARODD; break;","test_transports"),
("S4","serial","transport/comhost_posix_line.cpp","case 230400: return B230400;","case 230400: return B115200;","test_transports"),
("S5","serial","transport/comhost_posix_line.cpp","out += static_cast<int>(dev->write.count - dev->write.done);","out += 0;","test_transports"),
# port map
("M1","portmap","transport/portmap.cpp","if (n < 1 || n > (prefix == \"COM\"","if (n < 1 || n >= (prefix == \"COM\"","test_transports"),
("M2","portmap","transport/portmap.cpp","e.path = (!exists(classic) && exists(usb)) ? usb : classic;","e.path = exists(usb) ? usb : classic;","test_transports"),
("M3","portmap","transport/portmap.cpp","taken = taken || canonical(candidate) == m;","taken = canonical(candidate) == m;","test_transports"),
("M4","portmap","transport/portmap.cpp","const std::string usb = roots.dev + \"/usb/lp\" + std::to_string(n - 1);","const std::string usb = roots.dev + \"/usb/lp\" + std::to_string(n);","test_transports"),
("M5","portmap","transport/portmap.cpp","if (!e.byId.empty() && e.byId != e.path)","if (!e.byId.empty())","test_transports"),
# virtual printer engine
("V1","vp","virtualprinter/engine.cpp","m_sizeX = static_cast<int>(((param(0) >> 4) & 7) + 1);\n        m_sizeY = static_cast<int>((param(0) & 7) + 1);","m_sizeY = static_cast<int>(((param(0) >> 4) & 7) + 1);\n        m_sizeX = static_cast<int>((param(0) & 7) + 1);","test_virtualprinter"),
("V2","vp","virtualprinter/engine.cpp","param(1) == 1 ? -param(2) : param(2)","param(2)","test_virtualprinter"),
("V3","vp","virtualprinter/engine.cpp","(m_y / kMarkPitch + 1) * kMarkPitch","(m_y / kMarkPitch) * kMarkPitch","test_virtualprinter"),
("V4","vp","virtualprinter/engine.cpp","feedDots(std::max(lines - 1, 0) * m_lineSpacing);","feedDots(std::max(lines - 1, 0) * 30);","test_virtualprinter"),
("V5","vp","virtualprinter/engine.cpp","m_underline = n == 1 || n == 2 ? static_cast<int>(n) : 0;","m_underline = n == 1 ? 1 : 0;","test_virtualprinter"),
]
