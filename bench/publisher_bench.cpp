// One clock-state publication when nothing changed: the case timer 2 runs
// four times a second (build the record, compare it with the block, no copy).
#include <benchmark/benchmark.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/decision_state.h"
#include "fakes/fake_named_mutexes.h"
#include "ipc/clock_state_publisher.h"

namespace {

struct Publication : DecisionState {
  explicit Publication(bool customClocks) {
    settings.bUsingCustomClocks.Set(customClocks);
    settings.DefaultClock_Core.Set(u"+50");
    settings.DefaultClock_Mem.Set(u"1050");
    settings.AddSelectedGpu(u"Radeon RX 480");
    settings.AddSelectedGpu(u"Radeon R9 390");
    memClockTarget = u"-20";
    blockRequested = true;
    publisher.UpdateBlockingMethod();  // the first call copies; later ones find no change
  }

  std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(block::kSize);
  FakeNamedMutexes mutexes;
  SharedBlock sharedBlock{memory.data(), mutexes};
  ClockStatePublisher publisher{
      sharedBlock,
      {stateLock, blockRequested, forceDownclockRequested, clockTargetsLock, coreClockTarget,
       memClockTarget, settingsLock, settings}};
};

void RunUnchanged(benchmark::State& state, bool customClocks) {
  Publication publication(customClocks);
  for (auto _ : state) {
    publication.publisher.UpdateBlockingMethod();
    benchmark::DoNotOptimize(publication.memory.data());
  }
  if (publication.mutexes.accesses.size() != 1) {
    state.SkipWithError("an unchanged record was copied");
  }
}

}  // namespace

static void BM_UnchangedPublicationCustomClocks(benchmark::State& state) {
  RunUnchanged(state, true);
}
BENCHMARK(BM_UnchangedPublicationCustomClocks);

static void BM_UnchangedPublicationStockClocks(benchmark::State& state) {
  RunUnchanged(state, false);
}
BENCHMARK(BM_UnchangedPublicationStockClocks);
