// The undo history at full-screen sizes: the memory eleven snapshots hold, the time of one
// snapshot after a stroke, and the time of one undo step.
//
// Counters:
//   stored_MB     pixel bytes the list holds (tiles shared between neighbours counted once)
//   heap_MB       heap the list holds, bookkeeping included (glibc's count of bytes in use)
//   copies_MB     what eleven plain full copies would take, for comparison
//   peak_rss_MB   the process's peak resident size so far (VmHWM)
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TCanvas.h"
#include "framework/graphics/TImageList.h"
#include "BenchPictures.h"

namespace {

constexpr double kMB = 1024.0 * 1024.0;


// Stroke k of a session: a pen scribble of a few hundred pixels, as an annotation is.
void Annotate(tv::TBitmap& picture, int k) {
  tv::TCanvas& c = picture.Canvas();
  c.Pen().SetColor(tv::clRed);
  c.Pen().SetWidth(3);
  const int x = 200 + 300 * k, y = 150 + 170 * k;
  c.MoveTo(x, y);
  for (int i = 1; i <= 8; ++i) c.LineTo(x + 40 * i, y + (i % 2 ? 60 : 0));
}

// The worst case for sharing: every stroke changes every tile (a scribble across the picture).
void Scribble(tv::TBitmap& picture, int k) {
  tv::TCanvas& c = picture.Canvas();
  c.Pen().SetColor(static_cast<tv::TColor>(0x102030 * (k + 1)));
  c.Pen().SetWidth(3);
  const int w = picture.Width(), h = picture.Height();
  for (int y = 20 + 3 * k; y < h; y += 48) {
    c.MoveTo(0, y);
    c.LineTo(w - 1, y + 24);
  }
  for (int x = 20 + 3 * k; x < w; x += 48) {
    c.MoveTo(x, 0);
    c.LineTo(x + 24, h - 1);
  }
}

double PeakRssMB() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

double HeapInUseMB() { return static_cast<double>(mallinfo2().uordblks) / kMB; }

// The history after a capture and ten strokes plus the eleventh's base: eleven entries.
template <void (*Stroke)(tv::TBitmap&, int)>
void BM_ElevenSnapshots(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const tv::TBitmap capture = bench::Desktop(w, h, 7, 96, 4, 60);
  double stored = 0, heap = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tv::TBitmap picture(capture);
    const double heapBefore = HeapInUseMB();
    state.ResumeTiming();
    auto list = std::make_unique<tv::TImageList>(w, h);
    list->Insert(0, picture);
    for (int k = 0; k < 10; ++k) {
      Stroke(picture, k);
      if (!list->Insert(k + 1, picture)) state.SkipWithError("insert failed");
    }
    state.PauseTiming();
    stored = static_cast<double>(list->StoredBytes()) / kMB;
    heap = HeapInUseMB() - heapBefore;
    benchmark::DoNotOptimize(list.get());
    list.reset();
    state.ResumeTiming();
  }
  state.counters["stored_MB"] = stored;
  state.counters["heap_MB"] = heap;
  state.counters["copies_MB"] = 11.0 * w * h * 3 / kMB;
  state.counters["peak_rss_MB"] = PeakRssMB();
}
BENCHMARK_TEMPLATE(BM_ElevenSnapshots, Annotate)->Args({3840, 2160})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_TEMPLATE(BM_ElevenSnapshots, Scribble)->Args({3840, 2160})->Unit(benchmark::kMillisecond)->Iterations(3);

// One snapshot: a stroke was drawn, the picture goes into the list after the newest entry.
void BM_OneSnapshot(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  tv::TBitmap picture = bench::Desktop(w, h, 7, 96, 4, 60);
  tv::TImageList list(w, h);
  list.Insert(0, picture);
  Annotate(picture, 0);
  for (auto _ : state) {
    if (!list.Insert(1, picture)) state.SkipWithError("insert failed");
    state.PauseTiming();
    list.Delete(1);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(w) * h * 3);
}
BENCHMARK(BM_OneSnapshot)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

// One undo step: the previous entry drawn over the picture.
void BM_UndoStep(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  tv::TBitmap picture = bench::Desktop(w, h, 7, 96, 4, 60);
  tv::TImageList list(w, h);
  list.Insert(0, picture);
  Annotate(picture, 0);
  list.Insert(1, picture);
  for (auto _ : state) list.Draw(picture.Canvas(), 0, 0, 0);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(w) * h * 3);
}
BENCHMARK(BM_UndoStep)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

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
