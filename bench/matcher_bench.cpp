// Cost of matching one wildcard rule against every running process's path,
// as the scanner does for a wildcard rule on each scan.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "rules/wildcard.h"

namespace {

// 400 paths of the kinds a desktop runs: system programs, installed
// applications and games, with a few that match the pattern.
std::vector<std::u16string> MakeProcessPaths() {
  const std::vector<std::u16string> folders = {
      u"C:\\Windows\\System32\\",
      u"C:\\Program Files\\Common Files\\Vendor Shared\\Updater\\",
      u"C:\\Program Files (x86)\\Steam\\steamapps\\common\\Some Game Title\\bin\\x64\\",
      u"D:\\Games\\Launcher\\",
  };
  std::vector<std::u16string> paths;
  for (int i = 0; i < 400; ++i) {
    std::u16string path = folders[i % folders.size()];
    for (char c : std::to_string(i * 7919)) {
      path.push_back(static_cast<char16_t>(c));
    }
    path += (i % 20 == 3) ? u"_GameClient.EXE" : u"_service.exe";
    paths.push_back(std::move(path));
  }
  return paths;
}

}  // namespace

static void BM_MatchProcessPaths(benchmark::State& state) {
  const std::vector<std::u16string> paths = MakeProcessPaths();
  const WildcardPattern pattern = CompilePattern(u"*\\Games\\*client*.exe");
  int matches = 0;
  for (auto _ : state) {
    matches = 0;
    for (const std::u16string& path : paths) {
      matches += MatchPattern(pattern, path) ? 1 : 0;
    }
    benchmark::DoNotOptimize(matches);
  }
  state.counters["matches"] = matches;  // 20 of the 400
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
}
BENCHMARK(BM_MatchProcessPaths);
