// Cost of a log call on a background thread and of the flush on the
// user-interface thread.
#include <benchmark/benchmark.h>

#include "app/log.h"

static void BM_LogOneLine(benchmark::State& state) {
  LogBook book;
  SetProcessLog(&book);
  std::size_t lines = 0;
  for (auto _ : state) {
    Log(u"ThreadProcessScanner:: Delaying 4 seconds");
    if (++lines == LogBook::kMaxCommittedLines) {
      state.PauseTiming();
      book.FlushPendingLog();
      lines = 0;
      state.ResumeTiming();
    }
  }
  SetProcessLog(nullptr);
}
BENCHMARK(BM_LogOneLine);

static void BM_FlushIntoFullLog(benchmark::State& state) {
  LogBook book;
  const LocalTime when = CurrentLocalTime();
  for (std::size_t i = 0; i < LogBook::kMaxCommittedLines; ++i) {
    book.Append(u"filler", when);
  }
  book.FlushPendingLog();
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < 100; ++i) {
      book.Append(u"Spawned dispatcher thread", when);
    }
    state.ResumeTiming();
    benchmark::DoNotOptimize(book.FlushPendingLog());
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_FlushIntoFullLog);
