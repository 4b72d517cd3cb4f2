// Decoding a full downloaded logger memory against a plain pass over its bytes.
#include "ImageBuilder.h"
#include "core/MemoryDecoder.h"

#include <benchmark/benchmark.h>

#include <numeric>

using namespace thermo4::core;

namespace {

constexpr std::size_t kPoints = 32000;

// 262 144 bytes (the largest download) holding one data set of 32 000 points.
const MemoryImage& fullImage() {
    static const MemoryImage image = [] {
        thermo4::test::ImageRecord record;
        record.typeByte = 0x10; // °C: the conversion runs for every value
        record.samples.resize(kPoints);
        for (std::size_t k = 0; k < kPoints; ++k) {
            for (std::size_t c = 0; c < 4; ++c) {
                record.samples[k][c] = static_cast<std::int16_t>(700 + (k * 7 + c * 13) % 900);
            }
        }
        auto bytes = thermo4::test::ImageBuilder().add(record).bytes();
        bytes.resize(MemoryImage::kMaxDownloadSize, 0xFF);
        return MemoryImage(std::move(bytes));
    }();
    return image;
}

void BM_DecodeFullImage(benchmark::State& state) {
    const MemoryImage& image = fullImage();
    const QDateTime now(QDate(2024, 1, 1), QTime(12, 0));
    DataSetCollection collection;
    for (auto _ : state) {
        const int code = DecodeMemoryImage(image, collection, now);
        benchmark::DoNotOptimize(code);
        benchmark::DoNotOptimize(collection.values().data());
    }
    if (collection.values().size() != 4 * kPoints) {
        state.SkipWithError("the image did not decode to 32000 points");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_DecodeFullImage)->Unit(benchmark::kMicrosecond);

void BM_SumImageBytes(benchmark::State& state) {
    const MemoryImage& image = fullImage();
    for (auto _ : state) {
        const auto bytes = image.bytes();
        benchmark::DoNotOptimize(bytes.data());
        const unsigned sum = std::accumulate(bytes.begin(), bytes.end(), 0u);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_SumImageBytes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
