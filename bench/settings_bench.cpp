// Saving and loading a settings archive with a large rule table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include <unistd.h>

#include "base/format.h"
#include "base/text.h"
#include "config/general_settings.h"

namespace {

constexpr int kRules = 500;

std::u16string ScratchArchive() {
  return Utf8ToUtf16("/tmp/vt_bench_settings_" + std::to_string(getpid()) + ".arc");
}

void FillRules(CGeneralSettings_ConfigFile& settings) {
  for (int i = 0; i < kRules; ++i) {
    AddRule(settings.Rules(), Format(u"C:\\Games\\Library %i\\game%i.exe", i, i),
            static_cast<ActionType>(i % 9), i % 7 != 0, static_cast<std::uint32_t>(i % 5),
            i % 3 == 0 ? u"+50" : u"DEFAULT", i % 4 == 0 ? u"-100" : u"DEFAULT");
  }
}

}  // namespace

static void BM_EncodeAndSave500Rules(benchmark::State& state) {
  CGeneralSettings_ConfigFile settings;
  FillRules(settings);
  settings.SetPath(ScratchArchive());
  std::u16string message;
  for (auto _ : state) {
    settings.EncodeRules();
    if (!settings.Save(message)) {
      state.SkipWithError("save failed");
    }
  }
  std::remove(Utf16ToUtf8(ScratchArchive()).c_str());
}
BENCHMARK(BM_EncodeAndSave500Rules)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

static void BM_LoadAndDecode500Rules(benchmark::State& state) {
  {
    CGeneralSettings_ConfigFile settings;
    FillRules(settings);
    settings.EncodeRules();
    settings.SetPath(ScratchArchive());
    std::u16string message;
    settings.Save(message);
  }
  CGeneralSettings_ConfigFile settings;
  std::u16string message;
  for (auto _ : state) {
    if (!settings.Load(ScratchArchive(), message)) {
      state.SkipWithError("load failed");
    }
    settings.DecodeRules();
    benchmark::DoNotOptimize(settings.Rules().size());
  }
  std::remove(Utf16ToUtf8(ScratchArchive()).c_str());
}
BENCHMARK(BM_LoadAndDecode500Rules)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
