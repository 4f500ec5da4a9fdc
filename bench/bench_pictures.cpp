// Picture conversions: the NV logo download of the largest picture the
// printer takes and the self-test page of a tall receipt-wide picture,
// beside a straightforward per-pixel loop and a plain copy of the same bytes.
#include "logo/logocommands.h"
#include "logo/picture.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {

Picture noise(int w, int h)
{
    Picture p(w, h);
    std::mt19937 rng(7);
    for (auto &c : p.pixels)
        c = static_cast<std::int32_t>(rng() & 0x00FFFFFF);
    return p;
}

// Black shapes on white, as a shop logo would be.
Picture logoLike(int w, int h)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dx = x - w / 3, dy = y - h / 2;
            const bool ring = dx * dx + dy * dy < (h / 3) * (h / 3) && dx * dx + dy * dy > (h / 5) * (h / 5);
            const bool bar = y > h / 4 && y < h / 4 + 20 && x > w / 2;
            if (ring || bar)
                p.set(x, y, 0);
        }
    return p;
}

// The textbook loop: every dot through the bounds-checked accessor, the bits
// gathered in locals (faster than DotPacker's members, so a fair baseline).
ByteString straightforwardColumns(const Picture &pic, int cols, int rows)
{
    ByteString out;
    unsigned acc = 0;
    int bits = 0;
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r) {
            acc = (acc << 1) | (isDot(pic.at(c, r), kDefaultThreshold) ? 1u : 0u);
            if (++bits == 8) {
                out.push_back(static_cast<char>(acc));
                acc = 0;
                bits = 0;
            }
        }
    return out;
}

ByteString straightforwardRows(const Picture &pic, int rows, int bytesW)
{
    ByteString out;
    unsigned acc = 0;
    int bits = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 8 * bytesW; ++c) {
            acc = (acc << 1) | (isDot(pic.at(c, r), kDefaultThreshold) ? 1u : 0u);
            if (++bits == 8) {
                out.push_back(static_cast<char>(acc));
                acc = 0;
                bits = 0;
            }
        }
    return out;
}

const Picture &largestNoise()
{
    static const Picture p = noise(1000, 391);
    return p;
}
const Picture &largestLogo()
{
    static const Picture p = logoLike(1000, 391);
    return p;
}
const Picture &tallReceipt()
{
    static const Picture p = logoLike(576, 2000);
    return p;
}

void NvDownloadNoise(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(buildNvDownload(largestNoise(), Dialect::Normal, 0, kDefaultThreshold));
}
void NvDownloadLogo(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(buildNvDownload(largestLogo(), Dialect::Normal, 0, kDefaultThreshold));
}
void SelfTestPage576x2000(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(buildSelfTestPage(tallReceipt(), 0));
}
void RowMajorData576x2000(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(packRows(tallReceipt(), 2000, 72, kDefaultThreshold));
}
void ColumnMajorData1000x392(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(packColumns(largestNoise(), 0, 1000, 0, 392, 0, kDefaultThreshold));
}
void StraightforwardColumns1000x392(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(straightforwardColumns(largestNoise(), 1000, 392));
}
void StraightforwardRows576x2000(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(straightforwardRows(tallReceipt(), 2000, 72));
}
void CopyOfTheBytes(benchmark::State &state)
{
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    std::string src(n, 'x'), dst(n, '\0');
    for (auto _ : state) {
        std::memcpy(&dst[0], src.data(), n);
        benchmark::DoNotOptimize(dst.data());
    }
}

} // namespace

BENCHMARK(NvDownloadNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(NvDownloadLogo)->Unit(benchmark::kMillisecond);
BENCHMARK(ColumnMajorData1000x392)->Unit(benchmark::kMillisecond);
BENCHMARK(StraightforwardColumns1000x392)->Unit(benchmark::kMillisecond);
BENCHMARK(SelfTestPage576x2000)->Unit(benchmark::kMillisecond);
BENCHMARK(RowMajorData576x2000)->Unit(benchmark::kMillisecond);
BENCHMARK(StraightforwardRows576x2000)->Unit(benchmark::kMillisecond);
BENCHMARK(CopyOfTheBytes)->Arg(49000)->Arg(2 * 144000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
