// The COM and LPT numbering on fake device trees.
#include "transport/devicenames.h"
#include "transport/portmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Tree {
public:
    Tree()
    {
        char tmpl[] = "/tmp/tavo-ports-XXXXXX";
        root = ::mkdtemp(tmpl);
        roots.dev = root + "/dev";
        roots.sys = root + "/sys";
        roots.config = root + "/config";
        mkdirs(roots.dev);
        mkdirs(roots.sys);
    }
    ~Tree() { std::system(("rm -rf '" + root + "'").c_str()); }

    static void mkdirs(const std::string &path) { std::system(("mkdir -p '" + path + "'").c_str()); }
    static void write(const std::string &path, const std::string &text)
    {
        mkdirs(path.substr(0, path.rfind('/')));
        std::ofstream(path) << text;
    }
    // A ttyS node; `uart` false: the kernel says no UART is behind it.
    void ttyS(int n, bool uart)
    {
        const std::string node = "ttyS" + std::to_string(n);
        write(roots.dev + "/" + node, "");
        write(roots.sys + "/class/tty/" + node + "/type", uart ? "4\n" : "0\n");
    }
    // A USB serial adapter with its sysfs description and by-id link.
    void usb(const std::string &node, const std::string &maker, const std::string &product, const std::string &serial)
    {
        write(roots.dev + "/" + node, "");
        const std::string usbDev = roots.sys + "/devices/usb1/1-" + node;
        write(usbDev + "/manufacturer", maker + "\n");
        write(usbDev + "/product", product + "\n");
        write(usbDev + "/serial", serial + "\n");
        mkdirs(usbDev + "/1-1:1.0/" + node);
        mkdirs(roots.sys + "/class/tty/" + node);
        ::symlink((usbDev + "/1-1:1.0/" + node).c_str(), (roots.sys + "/class/tty/" + node + "/device").c_str());
        mkdirs(roots.dev + "/serial/by-id");
        ::symlink((roots.dev + "/" + node).c_str(), byId(node).c_str());
    }
    std::string byId(const std::string &node) const { return roots.dev + "/serial/by-id/usb-" + node + "-if00"; }
    std::string dev(const std::string &node) const { return roots.dev + "/" + node; }
    std::string path(const PortMap &m, const char *name) const { return m.find(name) ? m.find(name)->path : "?"; }

    std::string root;
    PortRoots roots;
};

} // namespace

TEST(PortMap, AdapterIsCom1BehindUartLessPortsAndCom5BehindRealOnes)
{
    {
        Tree t;
        for (int i = 0; i < 4; ++i)
            t.ttyS(i, false);
        t.usb("ttyUSB0", "FTDI", "FT232R USB UART", "A12345");
        const PortMap m = PortMap::scan(t.roots);
        EXPECT_EQ(t.path(m, "COM1"), t.dev("ttyUSB0"));
        EXPECT_EQ(t.path(m, "COM2"), "");
        EXPECT_EQ(PortMap::describe(*m.find("COM1")),
                  "COM1 → " + t.dev("ttyUSB0") + " (FTDI FT232R USB UART, serial A12345; " + t.byId("ttyUSB0") + ")");
        EXPECT_EQ(PortMap::describe(*m.find("COM4")), "COM4: no device");
    }
    {
        Tree t;
        for (int i = 0; i < 4; ++i)
            t.ttyS(i, true);
        t.usb("ttyUSB0", "FTDI", "FT232R USB UART", "A1");
        t.usb("ttyACM0", "Tavo", "Receipt Printer", "K3-7");
        const PortMap m = PortMap::scan(t.roots);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(t.path(m, ("COM" + std::to_string(i + 1)).c_str()), t.dev("ttyS" + std::to_string(i)));
        EXPECT_EQ(t.path(m, "COM5"), t.dev("ttyUSB0"));
        EXPECT_EQ(t.path(m, "COM6"), t.dev("ttyACM0"));
        EXPECT_EQ(m.find("COM6")->description, "Tavo Receipt Printer, serial K3-7");
    }
    {
        // Only some nodes have a UART: those are numbered, the others skipped.
        Tree t;
        for (int i = 0; i < 4; ++i)
            t.ttyS(i, i % 2 == 0);
        t.usb("ttyUSB0", "FTDI", "FT232R USB UART", "A2");
        const PortMap m = PortMap::scan(t.roots);
        EXPECT_EQ(t.path(m, "COM1"), t.dev("ttyS0"));
        EXPECT_EQ(t.path(m, "COM2"), t.dev("ttyS2"));
        EXPECT_EQ(t.path(m, "COM3"), t.dev("ttyUSB0"));
        EXPECT_EQ(t.path(m, "COM4"), "");
    }
}

TEST(PortMap, ScanStopsAtTheFirstMissingNumberAndAtEightPorts)
{
    Tree t;
    t.ttyS(0, true);
    t.ttyS(2, true); // after a gap: not scanned, as Wine does
    for (int i = 0; i < 10; ++i)
        t.usb("ttyUSB" + std::to_string(i), "FTDI", "FT232R", std::to_string(i));
    const PortMap m = PortMap::scan(t.roots);
    EXPECT_EQ(t.path(m, "COM1"), t.dev("ttyS0"));
    for (int n = 2; n <= 8; ++n)
        EXPECT_EQ(t.path(m, ("COM" + std::to_string(n)).c_str()), t.dev("ttyUSB" + std::to_string(n - 2)));
    EXPECT_EQ(m.find("COM9"), nullptr);
    EXPECT_EQ(m.entries().size(), 10u); // and LPT1 and LPT2
    // A node that cannot tell whether a UART is behind it counts as present.
    // So does one it cannot open to ask (a directory here, a busy port there).
    Tree u;
    Tree::write(u.dev("ttyS0"), "");
    Tree::mkdirs(u.dev("ttyS1"));
    // A node that links to nothing (its adapter just unplugged) is no port.
    ::symlink(u.dev("gone").c_str(), u.dev("ttyUSB0").c_str());
    const PortMap um = PortMap::scan(u.roots);
    EXPECT_EQ(u.path(um, "COM1"), u.dev("ttyS0"));
    EXPECT_EQ(u.path(um, "COM2"), u.dev("ttyS1"));
    EXPECT_EQ(u.path(um, "COM3"), "");
    // Without a type in sysfs the node itself is asked; the kernel's answers
    // are the test's here: a 16550A, no UART, cannot tell.
    Tree k;
    for (int i = 0; i < 3; ++i)
        Tree::write(k.dev("ttyS" + std::to_string(i)), "");
    k.roots.serialType = [&](const std::string &path) { return path == k.dev("ttyS0") ? 4 : path == k.dev("ttyS1") ? 0 : -1; };
    const PortMap asked = PortMap::scan(k.roots);
    EXPECT_EQ(k.path(asked, "COM1"), k.dev("ttyS0"));
    EXPECT_EQ(k.path(asked, "COM2"), k.dev("ttyS2"));
}

TEST(PortMap, MapFileComesFirstAndBadLinesAreToldWithTheirNumbers)
{
    Tree t;
    for (int i = 0; i < 4; ++i)
        t.ttyS(i, false);
    t.usb("ttyUSB0", "FTDI", "FT232R USB UART", "A12345");
    t.usb("ttyUSB1", "Prolific", "USB-Serial", "P9");
    Tree::mkdirs(t.roots.dev + "/usb");
    Tree::write(t.roots.dev + "/usb/lp0", "");
    Tree::write(t.roots.config + "/ports.conf", "# pinned adapters\n"
                                                "COM3=" + t.byId("ttyUSB0") + "   # the FTDI one\n"
                                                "\n"
                                                "LPT2=/dev/usb/lp0\r\n" // a line written on Windows
                                                "FOO=/dev/x\n"
                                                "COM2=\n"
                                                "COM9=/dev/ttyUSB5\n"
                                                "LPT3=/dev/lp2\n"
                                                "just words\n"
                                                "COM03=/dev/ttyUSB5\n"
                                                "COM=/dev/ttyUSB5\n"
                                                "COM4x=/dev/ttyUSB5\n");
    const PortMap m = PortMap::scan(t.roots);
    EXPECT_EQ(t.path(m, "COM3"), t.byId("ttyUSB0"));
    EXPECT_TRUE(m.find("COM3")->fromMap);
    // Pinned by its by-id name, the adapter is not named twice.
    EXPECT_EQ(PortMap::describe(*m.find("COM3")),
              "COM3 → " + t.byId("ttyUSB0") + " (FTDI FT232R USB UART, serial A12345; ports.conf)");
    // The mapped adapter is not numbered twice; the other takes the lowest free number.
    EXPECT_EQ(t.path(m, "COM1"), t.dev("ttyUSB1"));
    EXPECT_EQ(t.path(m, "COM2"), "");
    EXPECT_EQ(t.path(m, "LPT2"), "/dev/usb/lp0");
    EXPECT_EQ(PortMap::describe(*m.find("LPT2")), "LPT2 → /dev/usb/lp0 (ports.conf)");
    EXPECT_EQ(t.path(m, "LPT1"), t.roots.dev + "/usb/lp0"); // no lp0: the USB printer
    // Each bad line with its number, its text as written and why. COM03,
    // kept, would stand under a name no port looks up.
    const struct {
        int line;
        const char *text, *why;
    } bad[] = {{5, "FOO=/dev/x", "unknown name"},
               {6, "COM2=", "empty path"},
               {7, "COM9=/dev/ttyUSB5", "number outside COM1-COM8"},
               {8, "LPT3=/dev/lp2", "number outside LPT1-LPT2"},
               {9, "just words", "no '='"},
               {10, "COM03=/dev/ttyUSB5", "leading zero: write COM3, not COM03"},
               {11, "COM=/dev/ttyUSB5", "unknown name"},
               {12, "COM4x=/dev/ttyUSB5", "number outside COM1-COM8"}};
    ASSERT_EQ(m.problems().size(), std::size(bad));
    for (std::size_t i = 0; i < std::size(bad); ++i) {
        EXPECT_EQ(m.problems()[i].line, bad[i].line);
        EXPECT_EQ(m.problems()[i].text, bad[i].text);
        EXPECT_EQ(m.problems()[i].why, bad[i].why);
        EXPECT_EQ(m.problems()[i].file, t.roots.config + "/ports.conf");
    }

    // Each bad line is told once; the file is read afresh for every look.
    DeviceNames names;
    names.setRoots(t.roots);
    EXPECT_EQ(names.takeNewProblems().size(), std::size(bad));
    EXPECT_TRUE(names.takeNewProblems().empty());
    // "~/" is the home folder, as the shell would have it.
    const char *home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    Tree::write(t.roots.config + "/ports.conf", "COM4=" + t.dev("ttyUSB1") + "\nBAR=1\nLPT2=~/lp.bin\nBAR=1\nCOM0=/dev/ttyS0\n");
    EXPECT_EQ(names.resolve("LPT2"), std::string(home) + "/lp.bin");
    EXPECT_EQ(names.resolve("\\\\.\\COM4"), t.dev("ttyUSB1"));
    EXPECT_EQ(names.resolve("\\\\.\\COM1"), t.dev("ttyUSB0"));
    // The same bad text on two lines is two problems; there is no COM0.
    EXPECT_EQ(names.takeNewProblems().size(), 3u);
    // A parallel port of its own comes before the USB printer of its number.
    EXPECT_EQ(names.resolve("LPT1"), t.roots.dev + "/usb/lp0");
    Tree::write(t.roots.dev + "/lp0", "");
    EXPECT_EQ(names.resolve("LPT1"), t.roots.dev + "/lp0");
    // Redirects of the tests still come first; other names pass unchanged.
    names.redirect("LPT1", "/tmp/x");
    EXPECT_EQ(names.resolve("LPT1"), "/tmp/x");
    EXPECT_EQ(names.resolve("COM9x"), "COM9x");
}

// What is known of a device is said, and nothing more; a name pinned in any
// case by its plain path; "~/" with no home folder; the map file's folder.
TEST(PortMap, DescriptionsSayWhatIsKnownAndTheMapFileLivesInTheUsersConfig)
{
    Tree t;
    t.usb("ttyUSB0", "", "USB-Serial", "");
    t.usb("ttyACM0", "Tavo", "", "K3");
    Tree::write(t.roots.dev + "/usb/lp1", "");
    Tree::write(t.roots.config + "/ports.conf", "com3 = " + t.dev("ttyUSB0") + "\nLPT2 = ~/x\n");
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const std::string xdg = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    ::unsetenv("HOME");
    const PortMap m = PortMap::scan(t.roots);
    EXPECT_EQ(PortMap::describe(*m.find("COM1")), "COM1 → " + t.dev("ttyACM0") + " (Tavo, serial K3; " + t.byId("ttyACM0") + ")");
    EXPECT_EQ(PortMap::describe(*m.find("COM3")), "COM3 → " + t.dev("ttyUSB0") + " (USB-Serial; " + t.byId("ttyUSB0") + "; ports.conf)");
    EXPECT_EQ(t.path(m, "COM2"), "");
    EXPECT_EQ(t.path(m, "LPT1"), t.roots.dev + "/lp0");
    EXPECT_EQ(t.path(m, "LPT2"), t.roots.dev + "/usb/lp1");
    ASSERT_EQ(m.problems().size(), 1u);
    EXPECT_EQ(m.problems()[0].line, 2);
    EXPECT_EQ(m.problems()[0].why, "'~/' but no home folder is set (HOME)");

    ::setenv("XDG_CONFIG_HOME", "/x", 1);
    EXPECT_EQ(PortRoots::system().config, "/x/tavo");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(PortRoots::system().config, "");
    ::setenv("HOME", "/h", 1);
    EXPECT_EQ(PortRoots::system().config, "/h/.config/tavo");
    EXPECT_EQ(PortRoots::system().dev, "/dev");
    EXPECT_EQ(PortRoots::system().sys, "/sys");
    ::setenv("HOME", home.c_str(), 1);
    if (xdg.empty())
        ::unsetenv("XDG_CONFIG_HOME");
    else
        ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
}
