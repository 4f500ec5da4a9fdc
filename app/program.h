#pragma once
// The windows of the program, created in start-up order: the printer link,
// the main window, then the black-mark, LED, logo and status windows and the
// transfer log, hidden. The program shows a tool window when the main window
// asks for it.
#include "core/dispatch.h"
#include "ui/toolhost.h"

#include <memory>

class Outside;
class PrinterLink;
class TForm1;
class Tbmf;
class Tledf;
class Tnvf;
class TForm2;
class Tlogf;
namespace comhost {
class ComHost;
}

struct Program : ToolOpener {
    // `host` replaces the host's serial layer (tests); null uses the system's.
    explicit Program(Outside &outside, comhost::ComHost *host = nullptr, NetPrinterApi net = NetPrinterApi::library());
    ~Program() override;

    void show(Tool tool) override;
    void hideAll() override;

    std::unique_ptr<PrinterLink> link;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<Tbmf> bmf;
    std::unique_ptr<Tledf> ledf;
    std::unique_ptr<Tnvf> nvf;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<Tlogf> logf;
};
