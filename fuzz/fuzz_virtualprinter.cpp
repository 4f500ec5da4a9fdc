// The virtual printer's engine on any bytes, fed in pieces of any size: no
// crash, no hang, and a page never wider than the paper.
#include "fuzz/check.h"
#include "virtualprinter/engine.h"

#include <QGuiApplication>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Kept to the end of the process: destroyed during exit, Qt's font
    // caches would outlive their thread storage and count as leaks.
    static QGuiApplication *app = new QGuiApplication(*argc, *argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const auto *model = &vp::models()[data[0] % vp::models().size()];
    const std::size_t piece = 1 + data[1] % 64;
    vp::Engine engine(*model);
    const ByteString bytes(reinterpret_cast<const char *>(data) + 2, size - 2);
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        engine.feed(bytes.substr(at, piece));
    engine.endJob();
    for (const QImage &receipt : engine.takeReceipts())
        check(receipt.width() >= 384 && receipt.width() <= 576 && receipt.height() <= 60000 + 65536);
    const QImage paper = engine.currentReceipt();
    check(paper.isNull() || paper.height() <= 60000 + 65536);
    engine.restore(engine.memory());
    return 0;
}
