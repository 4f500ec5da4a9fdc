#pragma once
// The whole program on the offscreen platform, with its outside world
// replaced: a fake seam, a pseudo-terminal printer behind COM1 to COM3, a
// temp file as LPT1, a missing LPT2, and counted network calls.
#include "ui/dropdown.h"
#include "app/program.h"
#include "app/tform1.h"
#include "devices/tform2.h"
#include "devices/tledf.h"
#include "logo/tbmf.h"
#include "logo/tnvf.h"
#include "tests/support/fakeoutside.h"
#include "tests/support/ptyprinter.h"
#include "tests/support/tcpprinter.h"
#include "transport/tavonetio/tavonetio.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

struct NetCalls {
    static inline std::atomic<int> opens{0}, sends{0}, closes{0}, connectS{0}, sendS{0};
    static std::uint8_t open(const char *a, std::int32_t c, std::int32_t s)
    {
        ++opens;
        connectS = c;
        sendS = s;
        return TavoNetOpen(a, c, s);
    }
    static std::int32_t send(const std::uint8_t *d, std::int32_t n)
    {
        ++sends;
        return TavoNetSend(d, n);
    }
    static std::int32_t close()
    {
        ++closes;
        return TavoNetClose();
    }
    static NetPrinterApi api() { return {&NetCalls::open, &NetCalls::send, &NetCalls::close}; }
    static void reset() { opens = sends = closes = connectS = sendS = 0; }
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/tavo-gui-XXXXXX";
        dir = ::mkdtemp(tmpl);
        // The port map scans a tree of the test's own, never the host's /dev.
        PortRoots roots;
        roots.dev = dir + "/dev";
        roots.sys = dir + "/sys";
        roots.config = dir + "/config";
        outside.deviceNames().setRoots(roots);
        lpt1 = dir + "/lp0";
        std::ofstream(lpt1).close();
        outside.deviceNames().redirect("LPT1", lpt1);
        outside.deviceNames().redirect("LPT2", dir + "/missing-lp1");
        for (const char *com : {"\\\\.\\COM1", "\\\\.\\COM2", "\\\\.\\COM3"})
            outside.deviceNames().redirect(com, printer.slavePath());
        NetCalls::reset();
        program = std::make_unique<Program>(outside, nullptr, NetCalls::api());
        form1()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form1()));
    }
    void TearDown() override
    {
        program.reset();
        std::system(("rm -rf '" + dir + "'").c_str());
    }

    TForm1 *form1() { return program->form1.get(); }

    template <class T = QAbstractButton> T *child(QWidget *window, const char *name)
    {
        T *w = window->findChild<T *>(QLatin1String(name));
        if (!w)
            ADD_FAILURE() << "no control " << name;
        return w;
    }

    // A real mouse click in the middle of the control.
    void click(QWidget *window, const char *name)
    {
        QWidget *w = child<QWidget>(window, name);
        if (!window->isVisible())
            window->show();
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
    }
    void click(const char *name) { click(form1(), name); }

    // The operator picks an entry from the list.
    void pick(DropDown *drop, const QString &entry)
    {
        const int i = drop->findText(entry);
        ASSERT_GE(i, 0) << entry.toStdString();
        drop->setCurrentIndex(i);
    }
    // The operator types over the field.
    void type(DropDown *drop, const QString &text)
    {
        drop->lineEdit()->selectAll();
        drop->lineEdit()->del();
        QTest::keyClicks(drop->lineEdit(), text);
    }
    void type(QLineEdit *edit, const QString &text)
    {
        edit->selectAll();
        edit->del();
        QTest::keyClicks(edit, text);
    }

    std::string lpt1Contents() const
    {
        std::ifstream in(lpt1, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    FakeOutside outside;
    PtyPrinter printer;
    std::string dir, lpt1;
    std::unique_ptr<Program> program;
};
