// The command decoder on the largest command the program sends (an NV logo
// download of 49 000 data bytes), on a self-test page (much text, two raster
// images) and on the listing the transfer log shows for them.
#include "escpos/decoder.h"
#include "bench/striped.h"
#include "logo/logocommands.h"

#include <benchmark/benchmark.h>

namespace {

const ByteString &largestDownload()
{
    static const ByteString bytes = buildNvDownload(striped(1000, 391), Dialect::Normal, 0, kDefaultThreshold);
    return bytes;
}

const ByteString &selfTestPage()
{
    static const ByteString bytes = buildSelfTestPage(striped(576, 200), 16);
    return bytes;
}

void BM_DecodeLogoDownload(benchmark::State &state)
{
    const ByteString &bytes = largestDownload();
    for (auto _ : state)
        benchmark::DoNotOptimize(escpos::decode(bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeLogoDownload)->Unit(benchmark::kMicrosecond);

void BM_ListLogoDownload(benchmark::State &state)
{
    const ByteString &bytes = largestDownload();
    for (auto _ : state)
        benchmark::DoNotOptimize(escpos::listing(bytes));
}
BENCHMARK(BM_ListLogoDownload)->Unit(benchmark::kMicrosecond);

void BM_DecodeSelfTestPage(benchmark::State &state)
{
    const ByteString &bytes = selfTestPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(escpos::decode(bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeSelfTestPage)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
