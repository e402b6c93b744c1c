// JPEG encoding of screen-sized pictures at quality 100, as saving and uploading do.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TJPEGImage.h"

namespace {

// A picture like a desktop: flat panels, gradients and some detailed areas.
tv::TBitmap Desktop(int w, int h) {
  tv::TBitmap b(w, h);
  std::uint32_t seed = 1;
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const bool detail = (x / 64 + y / 64) % 5 == 0;
      const std::uint8_t v = detail ? static_cast<std::uint8_t>(seed >> 24) : static_cast<std::uint8_t>(x * 255 / w);
      row[3 * x] = v;
      row[3 * x + 1] = static_cast<std::uint8_t>(detail ? v : y * 255 / h);
      row[3 * x + 2] = static_cast<std::uint8_t>(detail ? 255 - v : 90);
    }
  }
  return b;
}

void BM_EncodeQuality100(benchmark::State& state) {
  const tv::TBitmap picture = Desktop(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::size_t bytes = 0;
  for (auto _ : state) {
    auto jpeg = tv::TJPEGImage::Encode(picture, 100);
    if (!jpeg.ok()) state.SkipWithError("encode failed");
    bytes = jpeg->size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["jpeg_bytes"] = static_cast<double>(bytes);
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}
BENCHMARK(BM_EncodeQuality100)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);  // painting needs the Qt application object
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
