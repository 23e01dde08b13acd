// One scan over a scripted desktop of 400 processes with 10 and 100 rules of
// mixed kinds (file name, full path, wildcard), none of which applies, so
// the whole table is walked and both process lists are built.
#include <benchmark/benchmark.h>

#include "base/format.h"
#include "fakes/decision_state.h"
#include "fakes/fake_desktop.h"
#include "rules/process_scanner.h"

namespace {

void ScriptDesktop(FakeDesktop& desktop) {
  desktop.monitors = {{0, 0, 1920, 1080}};
  for (std::uint32_t id = 1; id <= 400; ++id) {
    const std::u16string name = Format(u"service%u.exe", id);
    desktop.processes.push_back(
        {id * 4, name, Format(u"C:\\Program Files\\Vendor %u\\", id) + name, {}});
  }
  desktop.windows[100] = {8, true, false, ScreenRect{10, 10, 800, 600}, std::nullopt};
  desktop.foreground = 100;
}

void ScanWithRules(benchmark::State& state, int ruleCount) {
  FakeDesktop desktop;
  ScriptDesktop(desktop);
  DecisionState decision;
  CGeneralSettings_ConfigFile& settings = decision.settings;
  for (int i = 0; i < ruleCount; ++i) {
    const std::u16string name = Format(u"game%i.exe", i);
    switch (i % 3) {
      case 0:
        AddRule(settings.Rules(), name, ActionType::Block, true, 0);
        break;
      case 1:
        AddRule(settings.Rules(), u"D:\\Games\\" + name, ActionType::Block, true, 0);
        break;
      default:
        AddRule(settings.Rules(), u"*\\Games\\*" + name, ActionType::Block, true, 0);
        break;
    }
  }
  settings.EncodeRules();
  settings.DecodeRules();

  RecentForegroundHistory recent;
  ProcessScanner scanner(
      desktop, u"C:\\Windows\\",
      ScannerSources{decision.stateLock, decision.blockRequested, decision.forceDownclockRequested,
                     decision.clockTargetsLock, decision.coreClockTarget, decision.memClockTarget,
                     decision.settingsLock, settings, recent, [] {}, [] {}, [] {}});
  for (auto _ : state) {
    benchmark::DoNotOptimize(scanner.Scan());
  }
}

}  // namespace

static void BM_ScanTenRules(benchmark::State& state) {
  ScanWithRules(state, 10);
}
BENCHMARK(BM_ScanTenRules)->Unit(benchmark::kMicrosecond);

static void BM_ScanHundredRules(benchmark::State& state) {
  ScanWithRules(state, 100);
}
BENCHMARK(BM_ScanHundredRules)->Unit(benchmark::kMicrosecond);

// What the scripted desktop itself costs per scan for the two lists, to
// tell the scanner's share from the script's.
static void BM_ScriptedListsOnly(benchmark::State& state) {
  FakeDesktop desktop;
  ScriptDesktop(desktop);
  for (auto _ : state) {
    benchmark::DoNotOptimize(desktop.ListProcessFullPaths());
    benchmark::DoNotOptimize(desktop.ListProcessFileNames());
  }
}
BENCHMARK(BM_ScriptedListsOnly)->Unit(benchmark::kMicrosecond);
