// The virtual printer drawing the heaviest things the program sends: the
// largest NV logo stored and printed back, and a self-test page.
#include "core/basiccommands.h"
#include "bench/striped.h"
#include "logo/logocommands.h"
#include "virtualprinter/engine.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>

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

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
