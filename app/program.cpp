#include "app/program.h"

#include "app/tform1.h"
#include "app/tlogf.h"
#include "core/printerlink.h"
#include "devices/tform2.h"
#include "devices/tledf.h"
#include "logo/tbmf.h"
#include "logo/tnvf.h"

Program::Program(Outside &outside, comhost::ComHost *host, NetPrinterApi net)
{
    link = std::make_unique<PrinterLink>(outside, host, net);
    form1 = std::make_unique<TForm1>(outside, *link);
    bmf = std::make_unique<Tbmf>(*form1);
    ledf = std::make_unique<Tledf>(*form1);
    nvf = std::make_unique<Tnvf>(*form1);
    form2 = std::make_unique<TForm2>(*form1);
    logf = std::make_unique<Tlogf>(*form1);
    form1->setToolWindows(this);
}

Program::~Program()
{
    // The tool windows hold the main window; they go first.
    form1->setToolWindows(nullptr);
    logf.reset();
    form2.reset();
    nvf.reset();
    ledf.reset();
    bmf.reset();
    form1.reset();
    link.reset();
}

void Program::show(Tool tool)
{
    QWidget *window = nullptr;
    switch (tool) {
    case Tool::BlackMark: window = bmf.get(); break;
    case Tool::Led: window = ledf.get(); break;
    case Tool::Logo: window = nvf.get(); break;
    case Tool::Status: window = form2.get(); break;
    case Tool::Log: window = logf.get(); break;
    }
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

void Program::hideAll()
{
    for (QWidget *w : {static_cast<QWidget *>(bmf.get()), static_cast<QWidget *>(ledf.get()),
                       static_cast<QWidget *>(nvf.get()), static_cast<QWidget *>(form2.get())})
        if (w)
            w->hide();
}
