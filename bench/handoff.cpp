// The hand-off of a grabbed picture to the main window: JPEG at quality 100, the two temporary
// files in the working directory, the picture reloaded from the BMP, the files deleted; for
// 1920 x 1080 and 3840 x 2160 screens. The windows run over the fake platform, so only the
// program's own work is measured (with the scroll ranges, focus and the undo restart that follow).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "Unit1/Unit1.h"
#include "Unit2/Unit2.h"
#include "framework/Application.h"
#include "framework/dialogs/Dialogs.h"
#include "framework/graphics/TBitmap.h"
#include "platform/fake/FakePlatform.h"
#include "BenchPictures.h"

namespace {

class Program {
 public:
  Program(int w, int h) {
    dir_ = std::filesystem::temp_directory_path() / ("tovalin-bench-handoff-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    auto p = std::make_unique<tv::platform::FakePlatform>();
    p->SetScreenSize({w, h});
    tv::platform::SetPlatform(std::move(p));
    app_ = std::make_unique<tv::TApplication>();
    app_->SetTitle("Tovalin");
    tv::InstallDialogs();
    app_->CreateForm<tv::TForm1>(&tv::Form1);
    app_->CreateForm<tv::TForm2>(&tv::Form2);
    tv::Form1->Show();
    app_->ProcessMessages();
  }
  ~Program() {
    delete tv::Form2;
    delete tv::Form1;
    tv::Form2 = nullptr;
    tv::Form1 = nullptr;
    app_.reset();
    tv::platform::SetPlatform(nullptr);
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
  }

 private:
  std::filesystem::path dir_;
  std::filesystem::path old_;
  std::unique_ptr<tv::TApplication> app_;
};

void BM_HandOff(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0));
  const int h = static_cast<int>(state.range(1));
  Program program(w, h);
  tv::TBitmap grabbed = bench::Desktop(w, h);
  for (auto _ : state) {
    state.PauseTiming();
    tv::TBitmap bitmap(grabbed);  // what the grab would have made
    state.ResumeTiming();
    tv::HandOff(bitmap, true);
  }
  if (tv::Form1->Picture().Width() != w || tv::Form1->Picture().Height() != h) state.SkipWithError("wrong picture");
  state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_HandOff)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication qt(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
