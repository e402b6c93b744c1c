// JPEG encoding of screen-sized pictures at quality 100, as saving and uploading do.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TJPEGImage.h"
#include "BenchPictures.h"

namespace {

void BM_EncodeQuality100(benchmark::State& state) {
  const tv::TBitmap picture = bench::Desktop(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
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
