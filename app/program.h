#pragma once
// The windows of the program, created in start-up order: the main window
// first, then the black-mark, LED, logo and status windows and the transfer
// log, hidden.
#include "core/dispatch.h"

#include <memory>

class Outside;
class TForm1;
class Tbmf;
class Tledf;
class Tnvf;
class TForm2;
class Tlogf;
namespace comhost {
class ComHost;
}

struct Program {
    explicit Program(Outside &outside, comhost::ComHost *host = nullptr, NetPrinterApi net = NetPrinterApi::library());
    ~Program();

    std::unique_ptr<TForm1> form1;
    std::unique_ptr<Tbmf> bmf;
    std::unique_ptr<Tledf> ledf;
    std::unique_ptr<Tnvf> nvf;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<Tlogf> logf;
};
