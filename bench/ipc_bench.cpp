// The helpers' log text: draining a full log area into the application's log.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/log.h"
#include "fakes/fake_named_mutexes.h"
#include "ipc/ipc_listener.h"

static void BM_DrainFullLogArea(benchmark::State& state) {
  std::vector<std::uint8_t> memory(block::kSize);
  // Lines of 80 units, the way helpers write them.
  const std::u16string line = std::u16string(78, u'x') + u"\r\n";
  for (std::size_t i = 0; i < block::kLogTextUnits; ++i) {
    block::WriteUnit(memory.data(), block::kLogText + 2 * i, line[i % line.size()]);
  }
  FakeNamedMutexes mutexes;
  SharedBlock sharedBlock(memory.data(), mutexes);
  IpcListener listener(sharedBlock);
  LogBook book;
  SetProcessLog(&book);
  for (auto _ : state) {
    block::WriteU32(memory.data(), block::kLogLength, block::kLogTextUnits);
    listener.DrainOnce();
    state.PauseTiming();
    book.FlushPendingLog();
    state.ResumeTiming();
  }
  SetProcessLog(nullptr);
}
BENCHMARK(BM_DrainFullLogArea)->Unit(benchmark::kMillisecond);

static void BM_IdleListenerPass(benchmark::State& state) {
  std::vector<std::uint8_t> memory(block::kSize);
  FakeNamedMutexes mutexes;
  SharedBlock sharedBlock(memory.data(), mutexes);
  IpcListener listener(sharedBlock);
  for (auto _ : state) {
    listener.DrainOnce();
  }
}
BENCHMARK(BM_IdleListenerPass);
