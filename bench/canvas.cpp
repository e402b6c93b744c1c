// Canvas operations at the sizes a form's back buffer and a captured picture have.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "framework/graphics/TBitmap.h"

namespace {

void BM_FillRect(benchmark::State& state) {
  tv::TBitmap b(1920, 1080, state.range(0) == 32 ? tv::pf32bit : tv::pf24bit);
  b.Canvas().Brush().SetColor(tv::clBtnFace);
  for (auto _ : state) b.Canvas().FillRect({0, 0, 1920, 1080});
}
BENCHMARK(BM_FillRect)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond);

void BM_WideLine(benchmark::State& state) {
  tv::TBitmap b(1920, 1080);
  b.Canvas().Pen().SetWidth(3);
  for (auto _ : state) {
    b.Canvas().MoveTo(10, 10);
    b.Canvas().LineTo(1900, 1000);
  }
}
BENCHMARK(BM_WideLine)->Unit(benchmark::kMicrosecond);

void BM_TextOut(benchmark::State& state) {
  tv::TBitmap b(400, 40);
  for (auto _ : state) b.Canvas().TextOut(2, 2, "Exceeded the number of available image saves");
}
BENCHMARK(BM_TextOut)->Unit(benchmark::kMicrosecond);

void BM_DrawPicture(benchmark::State& state) {
  tv::TBitmap src(1920, 1080, tv::pf32bit), dst(1920, 1080, tv::pf32bit);
  for (auto _ : state) dst.Canvas().Draw(0, 0, src);
}
BENCHMARK(BM_DrawPicture)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
