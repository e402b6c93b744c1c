// Loading the program's skin from the blob compiled into it, to ready tables.
#include <benchmark/benchmark.h>

#include "skin/DarkMetroSkin.h"
#include "skin/acSkinPack.h"
#include "skin/sSkinManager.h"

namespace {

// Package reader alone: magic, six members inflated.
void BM_ReadStoredPackage(benchmark::State& state) {
  for (auto _ : state) {
    tv::TReadOnlyMemoryStream blob(tv::kDarkMetroPackage, static_cast<std::int64_t>(tv::kDarkMetroPackageSize));
    auto reader = std::make_unique<tv::TacSkinConvertor>();
    reader->SetSource(&blob);
    if (!tv::TacSkinConvertor::ReadPackage(reader)) state.SkipWithError("package");
    benchmark::DoNotOptimize(reader->Images().data());
  }
}
BENCHMARK(BM_ReadStoredPackage)->Unit(benchmark::kMicrosecond);

// The whole load: package, options, master bitmap, masks, patterns, sections, palette, lookups.
void BM_LoadDarkMetroSkin(benchmark::State& state) {
  tv::TsSkinManager manager;
  manager.SetSkinDirectory("/nonexistent-skins");
  tv::AddDarkMetroSkin(manager);
  for (auto _ : state) {
    manager.SetSkinName(tv::kDarkMetroSkinName);
    if (manager.gd().size() != 68) state.SkipWithError("sections");
    benchmark::DoNotOptimize(manager.ma().data());
  }
}
BENCHMARK(BM_LoadDarkMetroSkin)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
