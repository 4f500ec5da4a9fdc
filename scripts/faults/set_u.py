# One plausible single-line fault a row: id, area, file, the line as it stands, the line with the fault, the test binary of its area.
# The lines were picked by chance (scripts/faults/pick-lines.py 20261227 30), the first five of each area
# on which a plausible, not equivalent, slip can be written, in the order drawn; lines that sets A to T used are left out.
# The command builders and the command line have two, the transfer layer one and the port map none: their other drawn
# lines were used before, or allow no slip that is not equivalent.
F = [
("B191","builders","logo/logocommands.cpp","BitImageSize s{std::min(g.bytesW, 255), std::min(g.bytesH, 48)};","BitImageSize s{std::min(g.bytesW, 256), std::min(g.bytesH, 48)};","test_commands"),
("B192","builders","logo/logocommands.cpp","return ByteString{ESC, 'a', 0, GS, '/', 0, LF}; }","return ByteString{ESC, 'a', 1, GS, '/', 0, LF}; }","test_commands"),
("D191","decoder","escpos/decoder.cpp","                *p++ = digits[b & 15];","                *p++ = digits[b >> 4];","test_commands"),
("D192","decoder","escpos/decoder.cpp",'case kCr: add(Kind::Command, 1, "CR",','case kCr: add(Kind::Command, 2, "CR",',"test_commands"),
("D193","decoder","escpos/decoder_esc.cpp",'parts << Text::tr("emphasised");','parts << Text::tr("emphasized");',"test_commands"),
("D194","decoder","escpos/decoder_esc.cpp","const std::size_t data = 8u * static_cast<std::size_t>(x) * static_cast<std::size_t>(y);","const std::size_t data = static_cast<std::size_t>(x) * static_cast<std::size_t>(y);","test_commands"),
("D195","decoder","escpos/decoder_gs.cpp","if (left() < 3 || at(pos + 1) != kEsc || at(pos + 2) != kUs) {","if (left() < 2 || at(pos + 1) != kEsc || at(pos + 2) != kUs) {","test_commands"),
("C191","cli","cli/cli.cpp",'text += QStringLiteral("  %1 %2\\n      %3\\n")','text += QStringLiteral("  %1 %2\\n      %3")',"test_windows"),
("C192","cli","cli/cli.cpp",'err << "tavo-cli: " << e.text << "\\n" << Text::tr("Try tavo-cli --help.") << "\\n";','out << "tavo-cli: " << e.text << "\\n" << Text::tr("Try tavo-cli --help.") << "\\n";',"test_windows"),
("T191","transfer","core/dispatch.cpp",'problems << Text::tr("端口“%1”不是数字").arg(port);','problems << Text::tr("端口“%1”不是数字").arg(host);',"test_windows"),
("P191","pictures","logo/bmpload.cpp","(f.u8(line + bit / 8) >> (8 - b.bitCount - bit % 8))","(f.u8(line + bit / 8) >> (8 - b.bitCount + bit % 8))","test_commands"),
("P192","pictures","logo/picture.cpp","packRowBits(pic, firstCol + offset, firstRow, rowCount, bytesW, threshold, rowBits.data());","packRowBits(pic, firstCol - offset, firstRow, rowCount, bytesW, threshold, rowBits.data());","test_commands"),
("P193","pictures","logo/bmpload.cpp","kBitFields = 3, kAlphaBitFields = 6;","kBitFields = 3, kAlphaBitFields = 5;","test_commands"),
("P194","pictures","logo/picture.cpp","t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAULL;","t = (x ^ (x >> 9)) & 0x00AA00AA00AA00AAULL;","test_commands"),
("P195","pictures","logo/picture.cpp","return static_cast<std::uint8_t>((p[0] < t) << 7 |","return static_cast<std::uint8_t>((p[0] <= t) << 7 |","test_commands"),
("N191","netlib","transport/tavonetio/address.cpp","        a.hostText = text.substr(0, colon);","        a.hostText = text.substr(0, colon - 1);","test_transports"),
("N192","netlib","transport/tavonetio/address.cpp","    std::size_t label = 0;","    std::size_t label = 1;","test_transports"),
("N193","netlib","transport/tavonetio/address.cpp","                ep.numeric = false;","                ep.numeric = true;","test_transports"),
("N194","netlib","transport/tavonetio/netsocket_posix.cpp","return connectResult(s) == ConnectFailure::None;","return connectResult(s) != ConnectFailure::None;","test_transports"),
("S191","serial","transport/comportvalues.cpp","const std::uint32_t kBaudValues[] = {0,     110,","const std::uint32_t kBaudValues[] = {0,     100,","test_transports"),
("S192","serial","transport/comport.cpp","if (m_host.WaitForSingleObject(req.ov.hEvent, kInfinite) != kWaitObject0 ||","if (m_host.WaitForSingleObject(req.ov.hEvent, kInfinite) != kWaitObject0 &&","test_transports"),
("S193","serial","transport/comhost_posix_io.cpp","        if (n < 0) {\n            status = err;","        if (n <= 0) {\n            status = err;","test_transports"),
("S194","serial","transport/comhost_posix_line.cpp","case 1200: return B1200;","case 1200: return B2400;","test_transports"),
("S195","serial","transport/comport.cpp","        flags |= kDcbInX;","        flags |= kDcbOutX;","test_transports"),
("V191","vp","virtualprinter/common.cpp","const int rows = m >= 32 ? 24 : 8, perColumn = m >= 32 ? 3 : 1;","const int rows = m > 32 ? 24 : 8, perColumn = m >= 32 ? 3 : 1;","test_virtualprinter"),
("V192","vp","virtualprinter/paper.cpp","y < image.height() && m_y + y < m_paper.height(); ++y) {","y < image.height() && m_y + y <= m_paper.height(); ++y) {","test_virtualprinter"),
("V193","vp","virtualprinter/engine.cpp",'case Status::Offline: return ByteString("\\x38\\x00\\x00\\x00", 4);','case Status::Offline: return ByteString("\\x18\\x00\\x00\\x00", 4);',"test_virtualprinter"),
("V194","vp","virtualprinter/common.cpp","return (v & (0x80u >> (row % 8))) != 0;","return (v & (0x01u << (row % 8))) != 0;","test_virtualprinter"),
("V195","vp","virtualprinter/engine.cpp","realTimeStatus(n, paperEnd));\n        return ByteString(1, paperEnd ? '\\x0C' : '\\x00');","realTimeStatus(n, paperEnd));\n        return ByteString(1, paperEnd ? '\\x60' : '\\x00');","test_virtualprinter"),
]
