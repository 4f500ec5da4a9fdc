# One plausible single-line fault a row: id, area, file, the line as it stands, the line with the fault, the test binary of its area.
# The lines were picked by chance (scripts/faults/pick-lines.py 20261226 30), the first five of each area
# on which a plausible, not equivalent, slip can be written, in the order drawn; lines that sets A to S used are left out.
# The command builders have one, the transfer layer two and the port map none: their other drawn lines were used
# before, or allow no slip that is not equivalent.
F = [
("B181","builders","core/basiccommands.cpp","configPrefix() + bytes({0xFB}) + ByteString{ESC, 'd', 6}","configPrefix() + bytes({0xFD}) + ByteString{ESC, 'd', 6}","test_commands"),
("D181","decoder","escpos/decoder_common.cpp","                {long(at(pos + 2))});","                {long(at(pos + 1))});","test_commands"),
("D182","decoder","escpos/decoder_esc.cpp","        if (at(pos + 2) == 'q') {\n            defineNv(1);","        if (at(pos + 2) == 'q') {\n            defineNv(0);","test_commands"),
("D183","decoder","escpos/decoder.cpp","    bool whole = true;\n    decodeEach(","    bool whole = false;\n    decodeEach(","test_commands"),
("D184","decoder","escpos/decoder.cpp","        out.push_back(c);\n        return true;","        out.push_back(c);\n        return false;","test_commands"),
("D185","decoder","escpos/decoder_common.cpp",'case 70: meaning = Text::tr("PDF417: options %1")','case 71: meaning = Text::tr("PDF417: options %1")',"test_commands"),
("C181","cli","cli/cli.cpp",'out << scanReport(scan) << "\\n";','out << scanReport(scan);',"test_windows"),
("C182","cli","cli/cli.cpp","[](const Invocation &) { return Result{printerSeries(0).request}; }},","[](const Invocation &) { return Result{printerSeries(2).request}; }},","test_windows"),
("C183","cli","cli/cli.cpp","if (entry->way == Way::Find) {","if (entry->way != Way::Find) {","test_windows"),
("C184","cli","cli/cli.cpp","            out << cliHelp();","            err << cliHelp();","test_windows"),
("C185","cli","cli/cli.cpp","        c.index = 10;","        c.index = 9;","test_windows"),
("T181","transfer","core/transfer.cpp","    if (!m_outside.hasWindows()) {","    if (m_outside.hasWindows()) {","test_windows"),
("T182","transfer","core/errors.cpp",'case 101: return QCoreApplication::translate("rtl", "Disk full");','case 102: return QCoreApplication::translate("rtl", "Disk full");',"test_windows"),
("P181","pictures","logo/bmpload.cpp","b.coloursUsed = f.u32(46);","b.coloursUsed = f.u32(50);","test_commands"),
("P182","pictures","logo/picture.cpp","b = (b << 1) | (colour < t ? 1u : 0u);","b = (b << 1) | (colour <= t ? 1u : 0u);","test_commands"),
("P183","pictures","logo/bmpload.cpp","(v * a + 255 * (255 - a) + 127) / 255;","(v * a + 255 * (255 - a)) / 255;","test_commands"),
("P184","pictures","logo/bmpload.cpp","    bool badIndex = false;","    bool badIndex = true;","test_commands"),
("P185","pictures","logo/bmpload.cpp","const qint64 at = line + 3 * qint64(x);","const qint64 at = line + 4 * qint64(x);","test_commands"),
("N181","netlib","transport/tavonetio/netsocket_posix.cpp","    if (lingerMs == 0) {","    if (lingerMs != 0) {","test_transports"),
("N182","netlib","transport/tavonetio/tavonetio.cpp","(s > 600 ? 600 : s)","(s > 60 ? 60 : s)","test_transports"),
("N183","netlib","transport/tavonetio/tavonetio.cpp","if (r != 1 || !netsock::connected(g_socket)) {","if (r != 1 && !netsock::connected(g_socket)) {","test_transports"),
("N184","netlib","transport/tavonetio/tavonetio.cpp","clampSeconds(connectTimeoutS)) * 1000);","clampSeconds(connectTimeoutS)) * 100);","test_transports"),
("S181","serial","transport/comhost_posix_events.cpp","fds.push_back({dev.fd, POLLIN, 0});","fds.push_back({dev.fd, POLLOUT, 0});","test_transports"),
("S182","serial","transport/comport.cpp","    if (m_events == 0) {\n        m_threadCreated = false;","    if (m_events == 0) {\n        m_threadCreated = true;","test_transports"),
("S183","serial","transport/comhost_posix_line.cpp","case 4: tio.c_cflag |= PARENB | CMSPAR; break;","case 4: tio.c_cflag |= PARENB | PARODD | CMSPAR; break;","test_transports"),
("S184","serial","transport/comhost_posix_io.cpp","        dev.writing = false;\n    }\n    m_writeDone.notify_all();","        dev.writing = true;\n    }\n    m_writeDone.notify_all();","test_transports"),
("S185","serial","transport/comhost_posix_io.cpp","if (done == count && queuedOut(dev->fd) == 0) {","if (done == count || queuedOut(dev->fd) == 0) {","test_transports"),
("V181","vp","virtualprinter/paper.cpp","    grown.fill(255);","    grown.fill(0);","test_virtualprinter"),
("V182","vp","virtualprinter/memory.cpp","image.data.size() == 8u * static_cast<std::size_t>(image.x)","image.data.size() == static_cast<std::size_t>(image.x)","test_virtualprinter"),
("V183","vp","virtualprinter/common.cpp","const int quiet = cn == 49 ? 4 * scaleX : 2 * scaleX;","const int quiet = cn == 49 ? 2 * scaleX : 4 * scaleX;","test_virtualprinter"),
("V184","vp","virtualprinter/common.cpp",'case 51: return "windows-1257";','case 51: return "windows-1258";',"test_virtualprinter"),
("V185","vp","virtualprinter/paper.cpp","constexpr int kMaxPaperDots = 60000;","constexpr int kMaxPaperDots = 6000;","test_virtualprinter"),
]
