// The command decoder on the largest command the program sends (an NV logo
// download of 49 000 data bytes), on a self-test page (much text, two raster
// images) and on the listing the transfer log shows for them.
#include "escpos/decoder.h"
#include "bench/striped.h"
#include "logo/logocommands.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>

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

// The listing of 16 MB as tavo-decode writes it, to /dev/null: one byte the
// decoder does not know (16.7 million one-byte commands, the most a
// listing can have) and random bytes. Peak memory is that of the listing's
// 64 KB pieces; the process figure is in bench/README.md.
void BM_ListSixteenMegabytes(benchmark::State &state)
{
    ByteString bytes(16u * 1024 * 1024, '\x10');
    if (state.range(0) == 1) {
        std::uint32_t x = 2463534242u;
        for (char &c : bytes) {
            x ^= x << 13, x ^= x >> 17, x ^= x << 5;
            c = static_cast<char>(x);
        }
    }
    std::FILE *null = std::fopen("/dev/null", "w");
    for (auto _ : state)
        benchmark::DoNotOptimize(escpos::writeListing(bytes, null));
    std::fclose(null);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ListSixteenMegabytes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
