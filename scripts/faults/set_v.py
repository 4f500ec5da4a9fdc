# One plausible single-line fault a row: id, area, file, the line as it stands, the line with the fault, the test binary of its area.
# The lines were picked by chance (scripts/faults/pick-lines.py 20261228 30), the first five of each area
# on which a plausible, not equivalent, slip can be written, in the order drawn; lines that sets A to U used are left out.
# The command builders, the command line and the transfer layer had too few unused lines among the 30 drawn: theirs
# come from the whole draw (pick-lines.py 20261228 400), in its order. The command line has one, the port map none:
# their other unused lines allow no slip that is not equivalent.
F = [
("B201","builders","logo/logocommands.cpp","s += ByteString{ESC, '!', 0x28};","s += ByteString{ESC, '!', 0x20};","test_commands"),
("B202","builders","logo/logocommands.cpp","if (m.left < 0 || m.right < 0 || m.top < 0 || m.bottom < 0)\n        return false;","if (m.left < 0 || m.right < 0 || m.top < 0 || m.bottom < 0)\n        return true;","test_commands"),
("B203","builders","logo/logocommands.cpp","if ((m.left + m.right) % 8 != 0 || (m.top + m.bottom) % 8 != 0)\n        return false;","if ((m.left + m.right) % 8 != 0 || (m.top + m.bottom) % 8 != 0)\n        return true;","test_commands"),
("B204","builders","core/basiccommands.cpp","return ByteString{ESC, 'p', NUL, 50, 50, CR}; }","return ByteString{ESC, 'p', 1, 50, 50, CR}; }","test_commands"),
("B205","builders","core/basiccommands.cpp","s += ByteString{LF, LF, ESC, '!', 0x30};","s += ByteString{LF, LF, ESC, '!', 0x38};","test_commands"),
("C201","cli","cli/cli.cpp","entry->way == Way::Download && route.kind == Route::Network ? kDownloadPauses","entry->way == Way::Download || route.kind == Route::Network ? kDownloadPauses","test_windows"),
("T201","transfer","core/transfer.cpp","while (t.elapsed() < ms) {","while (t.elapsed() > ms) {","test_windows"),
("T202","transfer","core/dispatch.cpp","[this] { return m_sender.describe(m_route); }, 0, lineRate(route))),","[this] { return m_sender.describe(m_route); }, 0, 0)),","test_windows"),
("T203","transfer","core/errors.cpp",'case 5: return QCoreApplication::translate("rtl", "File access denied");','case 6: return QCoreApplication::translate("rtl", "File access denied");',"test_windows"),
("T204","transfer","core/dispatch.cpp",'rethrowWithDetail(failedAt(path(devicePath(route)) + QStringLiteral("："), session.done(), data.size()));','rethrowWithDetail(failedAt(path(devicePath(route)) + QStringLiteral("："), data.size(), session.done()));',"test_windows"),
("T205","transfer","core/transferlog.cpp","[](const LogEntry &e, std::uint64_t wanted) { return e.id < wanted; });","[](const LogEntry &e, std::uint64_t wanted) { return e.id <= wanted; });","test_windows"),
("D201","decoder","escpos/decoder.cpp",'case kHt: add(Kind::Command, 1, "HT", Op::Tab,','case kHt: add(Kind::Command, 1, "HT", Op::TabStops,',"test_commands"),
("D202","decoder","escpos/decoder_gs.cpp","const long v = at(p + fc.size());","const long v = at(p + fc.size() - 1);","test_commands"),
("D203","decoder","escpos/decoder_common.cpp","    if (cn == 49) {\n        switch (fn) {","    if (cn == 48) {\n        switch (fn) {","test_commands"),
("D204","decoder","escpos/decoderwalk.h","        case 0:\n        case '0': return Text::tr(\"left\");","        case '0': return Text::tr(\"left\");","test_commands"),
("D205","decoder","escpos/logtext.cpp","escpos::hexOf(e.answer, 0, e.answer.size(), 12)","escpos::hexOf(e.answer, 0, e.answer.size() - 1, 12)","test_commands"),
("P201","pictures","logo/bmpload.cpp","        if (count > 0) {\n            for (int k = 0; k < count; ++k)","        if (count > 1) {\n            for (int k = 0; k < count; ++k)","test_commands"),
("P202","pictures","logo/bmpload.cpp","for (std::size_t i = 0; i < p.rgba.size(); ++i) {","for (std::size_t i = 0; i + 1 < p.rgba.size(); ++i) {","test_commands"),
("P203","pictures","logo/picture.cpp","for (int i = 0; i < bytesH; ++i) {\n            const std::uint8_t *block","for (int i = 0; i < bytesW; ++i) {\n            const std::uint8_t *block","test_commands"),
("P204","pictures","logo/bmpload.cpp","b.coloursUsed == 0 || b.coloursUsed > maxColours ? maxColours : b.coloursUsed;","b.coloursUsed == 0 ? maxColours : b.coloursUsed;","test_commands"),
("P205","pictures","logo/bmpload.cpp","b.bitCount = f.u16(28);","b.bitCount = f.u16(26);","test_commands"),
("N201","netlib","transport/tavonetio/netsocket_posix.cpp","SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);","SOCK_STREAM | SOCK_CLOEXEC, 0);","test_transports"),
("N202","netlib","transport/tavonetio/tavonetio.cpp","netsock::shutdownAndClose(g_socket, whole ? std::max(g_sendTimeoutMs, 1) : 0);","netsock::shutdownAndClose(g_socket, whole ? 0 : std::max(g_sendTimeoutMs, 1));","test_transports"),
("N203","netlib","transport/tavonetio/netsocket_posix.cpp","case 0: return ConnectFailure::None;","case 0: return ConnectFailure::Other;","test_transports"),
("N204","netlib","transport/netprobe.cpp","            netsock::shutdownAndClose(p.socket, 0);\n        p.socket = netsock::kNoSocket;\n        answers","            netsock::shutdownAndClose(p.socket, 1);\n        p.socket = netsock::kNoSocket;\n        answers","test_transports"),
("N205","netlib","transport/tavonetio/address.cpp","} else if (text.find(':') != text.rfind(':') && isNumeric(AF_INET6, text)) {","} else if (text.find(':') == text.rfind(':') && isNumeric(AF_INET6, text)) {","test_transports"),
("S201","serial","transport/comport.cpp","it = (*it)->finished ? m_retired.erase(it) : it + 1;","it = !(*it)->finished ? m_retired.erase(it) : it + 1;","test_transports"),
("S202","serial","transport/comhost_posix.cpp","keepEventFd(dev.abortFd, true); // an abort may have been written\n        dev.abortFd = -1;","keepEventFd(dev.abortFd, true); // an abort may have been written\n        dev.fd = -1;","test_transports"),
("S203","serial","transport/comhost_posix_io.cpp","    if (ov->Internal == kErrorIoPending) {\n        if (!wait)","    if (ov->Internal != kErrorIoPending) {\n        if (!wait)","test_transports"),
("S204","serial","transport/comhost_posix_io.cpp","const int r = ::poll(fds, 2, ms);","const int r = ::poll(fds, 1, ms);","test_transports"),
("S205","serial","transport/comport.cpp","    if (m_flowControl.TxContinueOnXoff())\n        flags |= kDcbTxContinueOnXoff;","    if (m_flowControl.TxContinueOnXoff())\n        flags |= kDcbDsrSensitivity;","test_transports"),
("V201","vp","virtualprinter/engine.cpp","m_counts.nvBytesWritten += n;","m_counts.nvBytesWritten += 4 + n;","test_virtualprinter"),
("V202","vp","virtualprinter/paper.cpp","const int free = m_lineArea - w;","const int free = m_lineArea - image.width();","test_virtualprinter"),
("V203","vp","virtualprinter/host.cpp","h = t.mid(1, close - 1);","h = t.mid(1, close);","test_virtualprinter"),
("V204","vp","virtualprinter/paper.cpp","p.setBrush(priceLamp ? QColor(255, 64, 64) : QColor(64, 24, 24));","p.setBrush(totalLamp ? QColor(255, 64, 64) : QColor(64, 24, 24));","test_virtualprinter"),
("V205","vp","virtualprinter/paper.cpp","p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, ch);","p.drawText(QRect(0, 0, h, w), Qt::AlignCenter, ch);","test_virtualprinter"),
]
