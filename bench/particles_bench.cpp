// Cost of one splash frame (background, then step and draw of one particle per
// pixel of a full 761 x 286 picture) at five moments of the animation, split
// between threads as the splash does it (timed by the clock, as the main
// thread's processor time leaves the others out) and on one thread; of
// drawing streaks of one length, which splits a frame's cost into a part per
// streak and a part per pixel; and of flushing 10000 pending log lines. The log viewer's list box
// that shows the flushed lines is Windows-only and not measured here.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <vector>

#include "app/log.h"
#include "base/crt_random.h"
#include "toolkit/particles.h"

namespace {

constexpr int kPictureWidth = 761;
constexpr int kPictureHeight = 286;

// Particles for an opaque picture with varied colours, advanced to `at`.
std::vector<Particle> SplashParticlesAt(std::int64_t at) {
  PixelBuffer picture(kPictureWidth, kPictureHeight);
  FillRect(picture.view(), 0, 0, kPictureWidth, kPictureHeight / 2, 0x30A0FF);
  FillRect(picture.view(), 0, kPictureHeight / 2, kPictureWidth, kPictureHeight, 0xFFC040);
  SeedCrtRandom(12345);
  std::vector<Particle> particles =
      ParticlesForPicture(picture.view(), kSplashWidth, kSplashHeight, kSplashLo, kSplashHi);
  for (std::int64_t t = 0; t < at; t += 10000) {
    for (Particle& p : particles) {
      StepParticle(p, 10000);
    }
  }
  return particles;
}

// state.range(0): milliseconds into the animation; threads as for
// StepAndDrawParticles (0: as many as the machine has).
void SplashFrame(benchmark::State& state, int threads) {
  PixelBuffer bitmap(kSplashWidth, kSplashHeight);
  std::vector<Particle> particles = SplashParticlesAt(state.range(0) * 1000);
  const std::vector<Particle> initial = particles;
  int frames = 0;
  for (auto _ : state) {
    // Keep the moment fixed: restart from it every 10 frames.
    if (++frames == 10) {
      state.PauseTiming();
      particles = initial;
      frames = 0;
      state.ResumeTiming();
    }
    DrawSplashBackground(bitmap.view());
    StepAndDrawParticles(particles, 10000, bitmap.view(), threads);
    benchmark::DoNotOptimize(bitmap.view().bits);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(particles.size()));
}

void BM_SplashFrame(benchmark::State& state) {
  SplashFrame(state, 0);
}
void BM_SplashFrameOneThread(benchmark::State& state) {
  SplashFrame(state, 1);
}
// Early flight (heads mostly outside), trails streaming in, all settled.
BENCHMARK(BM_SplashFrame)
    ->Arg(500)
    ->Arg(1500)
    ->Arg(2500)
    ->Arg(3500)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_SplashFrameOneThread)
    ->Arg(500)
    ->Arg(1500)
    ->Arg(2500)
    ->Arg(3500)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond);

// Pixels of the streak from tail to head that lie in a width x height bitmap.
std::int64_t PixelsInside(const Particle& p, int width, int height) {
  const int dx = std::abs(p.headX - p.tailX);
  const int dy = std::abs(p.headY - p.tailY);
  const int steps = std::max(dx, dy);
  std::int64_t inside = 0;
  for (int k = 0; k <= steps; ++k) {
    const double x = p.tailX + static_cast<double>(p.headX - p.tailX) * k / std::max(steps, 1);
    const double y = p.tailY + static_cast<double>(p.headY - p.tailY) * k / std::max(steps, 1);
    inside += static_cast<std::int64_t>(x >= 0 && x < width && y >= 0 && y < height);
  }
  return inside;
}

// 70000 streaks of state.range(0) pixels in all directions, heads spread
// over the splash bitmap, drawn on one thread: the time per item is the time
// per drawn pixel (counted by a plain walk, so within a pixel at the edges);
// its excess over the long streaks' is the cost of a streak.
void BM_DrawStreaks(benchmark::State& state) {
  constexpr int kStreaks = 70000;
  const auto length = static_cast<double>(state.range(0) - 1);
  PixelBuffer bitmap(kSplashWidth, kSplashHeight);
  SeedCrtRandom(777);
  std::vector<Particle> streaks(kStreaks);
  for (Particle& p : streaks) {
    p.headX = 1 + NextCrtRandom() % (kSplashWidth - 2);
    p.headY = 1 + NextCrtRandom() % (kSplashHeight - 2);
    const double angle = 2.0 * std::numbers::pi * NextCrtRandom() / 32768.0;
    p.tailX = p.headX + static_cast<int>(std::lround(length * std::cos(angle)));
    p.tailY = p.headY + static_cast<int>(std::lround(length * std::sin(angle)));
    p.colour = static_cast<std::uint32_t>(NextCrtRandom()) * 0x10203u & 0xFFFFFFu;
    p.travel = 1000000;
    p.elapsed = 500000;
  }
  std::int64_t perRound = 0;
  for (const Particle& p : streaks) {
    perRound += PixelsInside(p, kSplashWidth, kSplashHeight);
  }
  std::int64_t pixels = 0;
  for (auto _ : state) {
    for (const Particle& p : streaks) {
      DrawParticle(p, bitmap.view());
    }
    benchmark::DoNotOptimize(bitmap.view().bits);
    pixels += perRound;
  }
  state.SetItemsProcessed(pixels);
}
BENCHMARK(BM_DrawStreaks)->Arg(2)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

void BM_FlushTenThousandLines(benchmark::State& state) {
  const LocalTime when = CurrentLocalTime();
  std::optional<LogBook> book;
  for (auto _ : state) {
    state.PauseTiming();
    book.reset();
    book.emplace();
    for (int i = 0; i < 10000; ++i) {
      book->Append(u"ThreadProcessScanner:: Foreground program changed", when);
    }
    state.ResumeTiming();
    benchmark::DoNotOptimize(book->FlushPendingLog());
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_FlushTenThousandLines)->Unit(benchmark::kMillisecond);

}  // namespace
