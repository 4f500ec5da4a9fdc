#include "app/program.h"

#include "app/tform1.h"
#include "app/tlogf.h"
#include "devices/tform2.h"
#include "devices/tledf.h"
#include "logo/tbmf.h"
#include "logo/tnvf.h"

Program::Program(Outside &outside, comhost::ComHost *host, NetPrinterApi net)
{
    form1 = std::make_unique<TForm1>(outside, host, net);
    bmf = std::make_unique<Tbmf>(*form1);
    ledf = std::make_unique<Tledf>(*form1);
    nvf = std::make_unique<Tnvf>(*form1);
    form2 = std::make_unique<TForm2>(*form1);
    logf = std::make_unique<Tlogf>(*form1);
    form1->setToolWindows(bmf.get(), ledf.get(), nvf.get(), form2.get(), logf.get());
}

Program::~Program()
{
    // The tool windows hold the main window; they go first.
    form1->setToolWindows(nullptr, nullptr, nullptr, nullptr);
    logf.reset();
    form2.reset();
    nvf.reset();
    ledf.reset();
    bmf.reset();
    form1.reset();
}
