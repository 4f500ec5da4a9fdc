# One plausible single-line fault a row: id, area, file, the line as it stands, the line with the fault, the test binary of its area.
# The lines were picked by chance (scripts/faults/pick-lines.py 20261210 12), the first five of each area
# on which a plausible, not equivalent, slip can be written, in the order drawn.
F = [
("B21","builders","logo/logocommands.cpp","appendByte(s, first + r + i);","appendByte(s, first + i);","test_commands"),
("B22","builders","logo/logocommands.cpp","for (std::size_t pos = 1; pos < length; pos += 57) {","for (std::size_t pos = 1; pos <= length; pos += 57) {","test_commands"),
("B23","builders","logo/logocommands.cpp","ByteString raster{GS, 'v', '0', '0'};","ByteString raster{GS, 'v', '0', 0};","test_commands"),
("B24","builders","logo/logocommands.cpp","return {g.bytesW % 256, g.bytesW / 256, pic.height % 256, pic.height / 256, g.bytesW * pic.height};","return {g.bytesW % 256, g.bytesW / 256, pic.height / 256, pic.height % 256, g.bytesW * pic.height};","test_commands"),
("B25","builders","logo/logocommands.cpp","return text.size() > 2 ? text.substr(text.size() - 2) : text;","return text.size() > 2 ? text.substr(0, 2) : text;","test_commands"),
("D21","decoder","escpos/decoder_common.cpp","case 'r': one(Op::TransmitStatus,","case 'r': one(Op::StatusRequest,","test_commands"),
("D22","decoder","escpos/decoderwalk.h",'case \'1\': return Text::tr("double width");','case \'1\': return Text::tr("double height");',"test_commands"),
("D23","decoder","escpos/decoder_common.cpp",'const char *kind = cn == 49 ? "QR" : cn == 48 ? "PDF417" : nullptr;','const char *kind = cn == 48 ? "QR" : cn == 49 ? "PDF417" : nullptr;',"test_commands"),
("D24","decoder","escpos/decoder_common.cpp",'case 67: meaning = Text::tr("QR: module size %1 dots").arg(v); break;','case 67: meaning = Text::tr("QR: module size %1 dots").arg(fn); break;',"test_commands"),
("D25","decoder","escpos/decoder_common.cpp","case 8: length = 10;","case 8: length = 9;","test_commands"),
("C21","cli","cli/cli.cpp","verdict == StatusVerdict::Online    ? QStringLiteral(\"online\")","verdict != StatusVerdict::NotFound ? QStringLiteral(\"online\")","test_windows"),
("C22","cli","cli/cli.cpp",'''        err << "tavo-cli: " << e.text << "\\n";
        return kCliError;
    } catch (const Refusal''','''        err << e.text << "\\n";
        return kCliError;
    } catch (const Refusal''',"test_windows"),
("C23","cli","cli/cli.cpp",'emulation = {{"epson"}, {"star"}};','emulation = {{"star"}, {"epson"}};',"test_windows"),
("C24","cli","cli/cli.cpp","[](const Invocation &in) { return bitImageDefine(false, in); }},","[](const Invocation &in) { return bitImageDefine(true, in); }},","test_windows"),
("C25","cli","cli/cli.cpp","out << printerJson(one.where, nullptr, one.answered ? one.status : -1,","out << printerJson(one.where, nullptr, one.status,","test_windows"),
("T21","transfer","core/dispatch.cpp","DeviceProblem p = diagnoseDevice(device, true);","DeviceProblem p = diagnoseDevice(device, false);","test_windows"),
("T22","transfer","core/dispatch.cpp",'''        session.pause(pauses.afterClose);
    return true;''','''        session.pause(pauses.afterClose);
    return false;''',"test_windows"),
("T23","transfer","core/dispatch.cpp","case Route::Serial: sendSerial(session, route, data); return true;","case Route::Serial: sendSerial(session, route, data); return false;","test_windows"),
("T24","transfer","core/dispatch.cpp","if (closeCause != TAVONET_OK || delivered < data.size()) {","if (closeCause != TAVONET_OK && delivered < data.size()) {","test_windows"),
("T25","transfer","core/transferlog.cpp","m_bytes += bytes.size();","m_bytes = bytes.size();","test_windows"),
("P21","pictures","logo/bmpload.cpp","case kRle4: return b.bitCount == 4 && b.infoSize >= 40;","case kRle4: return b.bitCount == 4 && b.infoSize > 40;","test_commands"),
("P22","pictures","logo/picture.cpp","static_cast<std::size_t>(y) * static_cast<std::size_t>(pic.width);","static_cast<std::size_t>(y) * static_cast<std::size_t>(pic.height);","test_commands"),
("P23","pictures","logo/bmpload.cpp","masks.a.of(v, 255)};","masks.a.of(v, 0)};","test_commands"),
("P24","pictures","logo/bmpload.cpp","put(pixelOf(f.u8(at + (rle4 ? k / 2 : k)), k));","put(pixelOf(f.u8(at + k), k));","test_commands"),
("P25","pictures","logo/bmpload.cpp","b.bitCount == 8 || b.bitCount == 16 || b.bitCount == 24 ||","b.bitCount == 8 || b.bitCount == 24 ||","test_commands"),
("N21","netlib","transport/tavonetio/address.cpp","(a->ai_family == AF_INET6 && pick == nullptr))","(a->ai_family == AF_INET6))","test_transports"),
("N22","netlib","transport/tavonetio/tavonetio.cpp","return whole ? 1 : 0;","return 1;","test_transports"),
("N23","netlib","transport/tavonetio/tavonetio.cpp","g_lastError = r == -1 ? TAVONET_E_RESET : (r == -2 ? TAVONET_E_CANCELLED : TAVONET_E_TIMEOUT);","g_lastError = r == -1 ? TAVONET_E_RESET : (r == -2 ? TAVONET_E_TIMEOUT : TAVONET_E_CANCELLED);","test_transports"),
("N24","netlib","transport/tavonetio/tavonetio.cpp","why = r == 0 ? netsock::ConnectFailure::NoAnswer : netsock::connectResult(g_socket);","why = netsock::connectResult(g_socket);","test_transports"),
("N25","netlib","transport/netprobe.cpp","std::size_t next = 0, done = 0;","std::size_t next = 1, done = 0;","test_transports"),
("S21","serial","transport/comport.cpp",'''        m_thread->Start();
        m_threadCreated = true;''','''        m_thread->Start();
        m_threadCreated = false;''',"test_transports"),
("S22","serial","transport/comhost_posix_line.cpp","s |= kMsDsrOn;","s |= kMsCtsOn;","test_transports"),
("S23","serial","transport/comport.cpp","callSignal(OnDSRChange, false);","callSignal(OnDSRChange, true);","test_transports"),
("S24","serial","transport/comport.cpp","aborted = !watchWrite(","aborted = watchWrite(","test_transports"),
("S25","serial","transport/comhost_posix.cpp",'''        closeDeviceFd(*dev);
        return true;''','''        closeDeviceFd(*dev);
        return false;''',"test_transports"),
("M21","portmap","transport/portmap.cpp",'const std::string product = readLine(dir + "/product");','const std::string product = readLine(dir + "/manufacturer");',"test_transports"),
("M22","portmap","transport/portmap.cpp","if (eq == std::string::npos) {","if (eq != std::string::npos) {","test_transports"),
("M23","portmap","transport/portmap.cpp",'std::string d = readLine(dir + "/manufacturer");','std::string d = readLine(dir + "/product");',"test_transports"),
("M24","portmap","transport/portmap.cpp",'extra += (extra.empty() ? "" : "; ") + e.byId;','extra += (extra.empty() ? "; " : "") + e.byId;',"test_transports"),
("M25","portmap","transport/portmap.cpp",'std::string dir = canonical(roots.sys + "/class/tty/" + node + "/device");','std::string dir = roots.sys + "/class/tty/" + node + "/device";',"test_transports"),
("V21","vp","virtualprinter/common.cpp",'data = "A" + data + "A";','data = "A" + data;',"test_virtualprinter"),
("V22","vp","virtualprinter/host.cpp","o.paced = true;","o.paced = false;","test_virtualprinter"),
("V23","vp","virtualprinter/common.cpp","case 69: return BARCODE_CODE39;","case 69: return BARCODE_CODE93;","test_virtualprinter"),
("V24","vp","virtualprinter/paper.cpp","p.drawText(QPoint(out.width() / 2 + 20, lampY + 12)","p.drawText(QPoint(out.width() / 2 - 20, lampY + 12)","test_virtualprinter"),
("V25","vp","virtualprinter/engine.cpp","    m_leftMargin = 0;\n","    \n","test_virtualprinter"),
]
