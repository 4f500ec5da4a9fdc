// The virtual printer drawing the heaviest things the program sends: the
// largest NV logo stored and printed back, and a self-test page.
#include "core/basiccommands.h"
#include "bench/striped.h"
#include "logo/logocommands.h"
#include "virtualprinter/engine.h"

#include <QBuffer>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

void BM_StoreAndPrintLargestNvLogo(benchmark::State &state)
{
    // 576 dots is the 80 mm roll; the largest logo it can print back.
    const ByteString job = buildNvDownload(striped(576, 680), Dialect::Normal, 0, kDefaultThreshold) +
                           buildNvPrint(Dialect::Normal, 0) + buildCut();
    for (auto _ : state) {
        vp::Engine engine(*vp::modelById("tavo80"));
        engine.feed(job);
        benchmark::DoNotOptimize(engine.takeReceipts());
    }
    state.counters["bytes"] = static_cast<double>(job.size());
}
BENCHMARK(BM_StoreAndPrintLargestNvLogo)->Unit(benchmark::kMillisecond);

void BM_SelfTestPage(benchmark::State &state)
{
    const ByteString job = buildSelfTestPage(striped(576, 200), 16);
    for (auto _ : state) {
        vp::Engine engine(*vp::modelById("tavo80"));
        engine.feed(job);
        benchmark::DoNotOptimize(engine.takeReceipts());
    }
}
BENCHMARK(BM_SelfTestPage)->Unit(benchmark::kMillisecond);

// Resident memory of this process, in megabytes.
double residentMb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

ByteString textReceipt(int lines)
{
    ByteString job("\x1B\x40", 2);
    for (int i = 0; i < lines; ++i)
        job += "Item " + std::to_string(i) + "  Espresso double            2.50\n";
    return job + ByteString("\x1D\x56\x42\x00", 4);
}

// A 100-line text receipt with its cut, drawn and written as PNG, as the
// headless printer saves it: against 391 ms on the wire at 115200 bit/s.
void BM_TextReceiptDrawnAndSaved(benchmark::State &state)
{
    const ByteString job = textReceipt(100);
    for (auto _ : state) {
        vp::Engine engine(*vp::modelById("tavo80"));
        engine.feed(job);
        QByteArray png;
        QBuffer out(&png);
        out.open(QIODevice::WriteOnly);
        for (const QImage &receipt : engine.takeReceipts())
            vp::compactReceipt(receipt).save(&out, "PNG");
        benchmark::DoNotOptimize(png);
    }
}
BENCHMARK(BM_TextReceiptDrawnAndSaved)->Unit(benchmark::kMillisecond);

// A thousand small receipts through one engine, each saved and let go as
// the headless printer does: what stays resident.
void BM_ThousandReceiptsResident(benchmark::State &state)
{
    const ByteString job = textReceipt(10);
    for (auto _ : state) {
        const double before = residentMb();
        vp::Engine engine(*vp::modelById("tavo80"));
        for (int i = 0; i < 1000; ++i) {
            engine.feed(job);
            for (const QImage &receipt : engine.takeReceipts()) {
                QByteArray png;
                QBuffer out(&png);
                out.open(QIODevice::WriteOnly);
                vp::compactReceipt(receipt).save(&out, "PNG");
            }
            engine.takeLog();
        }
        state.counters["resident_mb"] = residentMb();
        state.counters["grown_mb"] = residentMb() - before;
    }
}
BENCHMARK(BM_ThousandReceiptsResident)->Iterations(1)->Unit(benchmark::kMillisecond);

// 33 bytes: line spacing 255, then ten feeds of 255 lines each.
void BM_FeedBomb(benchmark::State &state)
{
    ByteString bomb("\x1B\x33\xFF", 3);
    for (int i = 0; i < 10; ++i)
        bomb += ByteString("\x1B\x64\xFF", 3);
    for (auto _ : state) {
        const double before = residentMb();
        vp::Engine engine(*vp::modelById("tavo80"));
        engine.feed(bomb);
        state.counters["grown_mb"] = residentMb() - before;
        benchmark::DoNotOptimize(engine.currentReceipt());
    }
}
BENCHMARK(BM_FeedBomb)->Iterations(1)->Unit(benchmark::kMillisecond);

// 8 KB of FS . and FS & toggles, then DLE EOT 1: the time to the answer.
void BM_StatusAfterModeToggles(benchmark::State &state)
{
    ByteString toggles;
    while (toggles.size() < 8192)
        toggles += ByteString("\x1C\x2E\x1C\x26", 4);
    toggles += ByteString("\x10\x04\x01", 3);
    for (auto _ : state) {
        vp::Engine engine(*vp::modelById("tavo80"));
        benchmark::DoNotOptimize(engine.feed(toggles));
    }
}
BENCHMARK(BM_StatusAfterModeToggles)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
