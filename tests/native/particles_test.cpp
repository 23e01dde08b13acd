#include "toolkit/particles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <vector>

#include "base/crt_random.h"

namespace {

// Seeded with 1, the CRT generator's first value is 41.
constexpr int kFirstValueOfSeed1 = 41;

// A particle flying along a row: start (-100, 3), target (100, 3), 1 s.
Particle FlatParticle() {
  Particle p;
  p.startX = -100;
  p.startY = 3;
  p.targetX = 100;
  p.targetY = 3;
  p.headX = p.tailX = -100;
  p.headY = p.tailY = 3;
  p.travel = 1000000;
  p.colour = 0x0000FF;
  return p;
}

Particle FlyingParticle(int tailX, int tailY, int headX, int headY, std::uint32_t colour) {
  Particle p;
  p.tailX = tailX;
  p.tailY = tailY;
  p.headX = headX;
  p.headY = headY;
  p.colour = colour;
  p.travel = 1000000;
  p.elapsed = 500000;
  return p;
}

// Pixels that differ from the fill colour, with their colours.
struct Lit {
  int x, y;
  std::uint32_t colour;
  bool operator==(const Lit&) const = default;
};

std::vector<Lit> LitPixels(const PixelBuffer& bitmap, std::uint32_t background) {
  std::vector<Lit> lit;
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) {
      if (bitmap.PixelAt(x, y) != background) {
        lit.push_back({x, y, bitmap.PixelAt(x, y)});
      }
    }
  }
  return lit;
}

// A bitmap whose pixels all differ a little, so that blends show.
PixelBuffer Patterned(int width, int height) {
  PixelBuffer bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t colour =
          (static_cast<std::uint32_t>(x * 37 + y * 101) * 2654435761u) >> 8;
      FillRect(bitmap.view(), x, y, x + 1, y + 1, colour);
    }
  }
  return bitmap;
}

std::vector<std::uint32_t> Pixels(const PixelBuffer& bitmap) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) {
      pixels.push_back(bitmap.PixelAt(x, y));
    }
  }
  return pixels;
}

// A streak drawn the plain way: every pixel walked from the tail, those in
// the bitmap and in rows top .. bottom - 1 blended by exact division.
void WalkStreak(PixelBuffer& bitmap, int x0, int y0, int x1, int y1, std::uint32_t colour, int top,
                int bottom) {
  const std::int64_t dx = std::abs(std::int64_t{x1} - x0);
  const std::int64_t dy = std::abs(std::int64_t{y1} - y0);
  const int sx = x0 < x1 ? 1 : -1;
  const int sy = y0 < y1 ? 1 : -1;
  const std::int64_t n = std::max(dx, dy) + 1;
  const std::int64_t channels[3] = {(colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF};
  std::int64_t err = dx - dy;
  std::int64_t x = x0;
  std::int64_t y = y0;
  for (std::int64_t i = 1; i <= n; ++i) {
    if (x >= 0 && x < bitmap.width() && y >= std::max(top, 0) &&
        y < std::min(bottom, bitmap.height())) {
      std::uint8_t* pixel = bitmap.view().At(static_cast<int>(x), static_cast<int>(y));
      for (int c = 0; c < 3; ++c) {
        pixel[c] = static_cast<std::uint8_t>((pixel[c] * (n - i) + channels[c] * i) / n);
      }
    }
    const std::int64_t e2 = 2 * err;
    if (e2 > -dy) {
      err -= dy;
      x += sx;
    }
    if (e2 < dx) {
      err += dx;
      y += sy;
    }
  }
}

}  // namespace

TEST(ParticleStartTest, PlacesTheStartOnTheCircleAtTheAngleOfK) {
  // 101 x 61 has the integer halves 50 and 30; the radius is twice the
  // distance from the corner to (50, 30).
  const double radius = 2.0 * std::hypot(50.0, 30.0);
  struct Case {
    int lo, hi;
    double startX, startY;
    std::int64_t travelMs;
  };
  const Case cases[] = {
      {0, 164, 50.0, 30.0 + radius, 41},  // k 41: a quarter turn
      {0, 82, 50.0 - radius, 30.0, 41},   // k 41: half a turn
      {800, 4000, 50.0 + radius * std::cos(2 * std::numbers::pi * 841 / 4000),
       30.0 + radius * std::sin(2 * std::numbers::pi * 841 / 4000), 841},  // the splash's range
      {3000, 1000, 50.0 + radius * std::cos(2 * std::numbers::pi * 3041 / 1000),
       30.0 + radius * std::sin(2 * std::numbers::pi * 3041 / 1000), 3041},  // About: lo above hi
      {7, 7, 50.0 + radius * std::cos(2 * std::numbers::pi),
       30.0 + radius * std::sin(2 * std::numbers::pi), 7},  // empty range: k is lo
      {-50, 0, 50.0 + radius, 30.0, 0},                     // hi 0: angle 0; k -9: no travel
  };
  for (const Case& c : cases) {
    SeedCrtRandom(1);
    const Particle p = StartParticle(101, 61, 10.0f, 20.0f, c.lo, c.hi, 0x123456);
    EXPECT_NEAR(p.startX, c.startX, 1e-3) << c.lo << ".." << c.hi;
    EXPECT_NEAR(p.startY, c.startY, 1e-3) << c.lo << ".." << c.hi;
    EXPECT_EQ(p.travel, c.travelMs * 1000) << c.lo << ".." << c.hi;
    EXPECT_EQ(p.elapsed, 0);
    EXPECT_EQ(p.targetX, 10.0f);
    EXPECT_EQ(p.colour, 0x123456u);
    EXPECT_EQ(NextCrtRandom(), 18467) << "one value per particle";
  }
  static_assert(kFirstValueOfSeed1 == 41);
}

TEST(ParticleStepTest, HeadLeadsAndTailTrailsBy300Milliseconds) {
  struct Case {
    std::int64_t step;  // microseconds, applied in order to one particle
    int headX, tailX;
    bool finished;
  };
  const Case cases[] = {
      {0, -100, -100, false},     {-40000, -100, -100, false},  // time never runs backwards
      {250000, -50, -100, false},                               // the tail waits 300 ms
      {550000, 60, 0, false},     {200000, 100, 40, false},     // the head has arrived
      {5000000, 100, 100, false},  // the trail arrives; time stops there
      {10000, 100, 100, true},     // from now on finished
  };
  Particle p = FlatParticle();
  for (const Case& c : cases) {
    EXPECT_EQ(StepParticle(p, c.step), c.finished) << c.step;
    EXPECT_EQ(p.headX, c.headX) << "after " << c.step;
    EXPECT_EQ(p.tailX, c.tailX) << "after " << c.step;
    EXPECT_EQ(p.headY, 3);
  }
  EXPECT_EQ(p.elapsed, 1300000);

  Particle stalled = FlatParticle();
  StepParticle(stalled, 5000000);
  EXPECT_EQ(stalled.elapsed, 1000000) << "a stall counts as 1 s";
}

TEST(ParticleStepTest, ArrivesExactlyOnTheTargetPixel) {
  // start + (target - start) x 1 in floats can miss the target by a hair.
  Particle p;
  p.startX = -812.3456f;
  p.startY = 977.1234f;
  p.targetX = 10.0f;
  p.targetY = 7.0f;
  p.travel = 999000;
  for (int i = 0; i < 20; ++i) {
    StepParticle(p, 70000);
  }
  EXPECT_EQ(p.headX, 10);
  EXPECT_EQ(p.headY, 7);
  EXPECT_EQ(p.tailX, 10);
  EXPECT_EQ(p.tailY, 7);
}

TEST(ParticleDrawTest, StreakBrightensFromTailToHead) {
  // Background grey 100; colour red 255, green 0, blue 100; n = 4 pixels.
  PixelBuffer bitmap(7, 5);  // 21 bytes a row, padded to 24
  FillRect(bitmap.view(), 0, 0, 7, 5, 0x646464);
  DrawParticle(FlyingParticle(2, 2, 5, 2, 0x6400FF), bitmap.view());
  // Each channel: (old x (n - i) + colour x i) / n, truncated.
  const std::vector<Lit> expected = {
      {2, 2, 0x644B8A},  // i 1: red 138, green 75
      {3, 2, 0x6432B1},  // i 2: red 177, green 50
      {4, 2, 0x6419D8},  // i 3: red 216, green 25
      {5, 2, 0x6400FF},  // i 4: the colour itself
  };
  EXPECT_EQ(LitPixels(bitmap, 0x646464), expected);
}

TEST(ParticleDrawTest, SteepStreakHasOnePixelPerRow) {
  PixelBuffer bitmap(9, 9);
  DrawParticle(FlyingParticle(2, 1, 4, 7, 0x0000FF), bitmap.view());
  const std::vector<Lit> lit = LitPixels(bitmap, 0);
  ASSERT_EQ(lit.size(), 7u);
  for (std::size_t i = 0; i < lit.size(); ++i) {
    EXPECT_EQ(lit[i].y, static_cast<int>(i) + 1);
    EXPECT_EQ(lit[i].colour, 255u * (i + 1) / 7) << "row " << lit[i].y;
    if (i > 0) {
      EXPECT_LE(std::abs(lit[i].x - lit[i - 1].x), 1) << "connected";
    }
  }
  EXPECT_EQ(lit.front().x, 2);
  EXPECT_EQ(lit.back().x, 4);
}

TEST(ParticleDrawTest, ClipsToTheBitmapAndNeedsTheHeadStrictlyInside) {
  struct Case {
    const char* what;
    int tailX, tailY, headX, headY;
    std::vector<Lit> lit;
  };
  const Case cases[] = {
      // n = 10 from x -6: pixel x 0 is the 7th.
      {"tail left outside", -6, 3, 3, 3, {{0, 3, 175}, {1, 3, 200}, {2, 3, 225}, {3, 3, 250}}},
      {"tail far outside", -100000, 3, 1, 3, {{0, 3, 249}, {1, 3, 250}}},
      {"tail below right", 12, 10, 6, 4, {{6, 4, 250}, {7, 5, 214}}},
      {"head on the left edge", -6, 3, 0, 3, {}},
      {"head on the top edge", 3, -6, 3, 0, {}},
      {"head past the right edge", 3, 3, 8, 3, {}},
      {"head past the bottom", 3, 3, 3, 6, {}},
      {"head far outside", 3, 3, -500, 900, {}},
  };
  for (const Case& c : cases) {
    PixelBuffer bitmap(8, 6);
    DrawParticle(FlyingParticle(c.tailX, c.tailY, c.headX, c.headY, 250), bitmap.view());
    EXPECT_EQ(LitPixels(bitmap, 0), c.lit) << c.what;
  }
}

TEST(ParticleDrawTest, SkipsAndClipsExactlyAsAPixelByPixelWalk) {
  struct Streak {
    const char* what;
    int tailX, tailY, headX, headY;
  };
  const Streak streaks[] = {
      {"from the left", -30, 5, 20, 12},
      {"from the right, leftward", 70, 3, 10, 15},
      {"from above, steep", 12, -40, 18, 20},
      {"from below, steep", 5, 60, 25, 2},
      {"from the top left corner", -25, -25, 15, 15},
      {"from the top right corner", 60, -10, 30, 8},
      {"from the bottom left corner", -9, 40, 3, 19},
      {"from the bottom right corner", 80, 50, 33, 21},
      {"leftward and up, shallow", 60, 30, 2, 1},
      {"tail inside", 4, 2, 30, 20},
      {"vertical", 20, -50, 20, 10},
      {"horizontal, leftward", 90, 11, 1, 11},
      {"16384 pixels long", -16380, 4, 3, 4},
      {"16385 pixels long", -16381, 4, 3, 4},
      {"far off to the left", -100000, 7, 30, 9},
      {"far off on both axes", -300000, -90000, 20, 10},
  };
  struct Rows {
    int top, bottom;
  };
  const Rows bands[] = {{0, INT_MAX}, {0, 8}, {8, 16}, {16, INT_MAX}, {-5, 3}, {22, 40}, {5, 5}};
  // 37 pixels a row leave row padding; 40 leave none.
  for (const int width : {37, 40}) {
    for (const Streak& s : streaks) {
      for (const Rows& rows : bands) {
        PixelBuffer drawn = Patterned(width, 23);
        PixelBuffer walked = Patterned(width, 23);
        DrawParticle(FlyingParticle(s.tailX, s.tailY, s.headX, s.headY, 0x20C0F0), drawn.view(),
                     rows.top, rows.bottom);
        WalkStreak(walked, s.tailX, s.tailY, s.headX, s.headY, 0x20C0F0, rows.top, rows.bottom);
        EXPECT_EQ(Pixels(drawn), Pixels(walked))
            << s.what << ", width " << width << ", rows " << rows.top << ".." << rows.bottom;
      }
    }
  }
}

TEST(ParticleDrawTest, HeadOutsideIsNotDrawnButKeepsMoving) {
  PixelBuffer bitmap(64, 6);
  Particle p = FlatParticle();  // from x -100 to 100 along row 3
  StepParticle(p, 400000);
  const int before = p.headX;
  DrawParticle(p, bitmap.view());
  StepParticle(p, 100000);  // head on the left edge
  DrawParticle(p, bitmap.view());
  EXPECT_GT(p.headX, before);
  EXPECT_TRUE(LitPixels(bitmap, 0).empty());
  StepParticle(p, 125000);  // t 625 ms: head at 25
  DrawParticle(p, bitmap.view());
  EXPECT_EQ(LitPixels(bitmap, 0).back(), (Lit{25, 3, 255}));
}

TEST(ParticleDrawTest, AfterItsTrailAParticleIsItsTargetPixel) {
  PixelBuffer bitmap(6, 6);
  FillRect(bitmap.view(), 0, 0, 6, 6, 0x808080);
  Particle p;
  p.startX = -40;
  p.startY = -40;
  p.targetX = 3;
  p.targetY = 4;
  p.travel = 800000;
  p.colour = 0x203040;
  for (bool finished = false; !finished;) {
    finished = StepParticle(p, 100000);
    FillRect(bitmap.view(), 0, 0, 6, 6, 0x808080);
    DrawParticle(p, bitmap.view());
  }
  // Set, not blended, and nothing else.
  EXPECT_EQ(LitPixels(bitmap, 0x808080), (std::vector<Lit>{{3, 4, 0x203040}}));

  Particle outside = p;  // a target off the bitmap draws nothing
  outside.targetX = outside.startX = 6;
  outside.headX = outside.tailX = 6;
  FillRect(bitmap.view(), 0, 0, 6, 6, 0x808080);
  DrawParticle(outside, bitmap.view());
  EXPECT_TRUE(LitPixels(bitmap, 0x808080).empty());
}

TEST(ParticlePictureTest, OneParticlePerOpaquePixelCentredInTheBitmap) {
  // 3 x 2 picture, BGR rows padded to 12 bytes; (1, 0) is magenta.
  const std::uint8_t picture[] = {
      1,  2,  3,  255, 0,  255, 7,  8,  9,  0, 0, 0,  //
      10, 11, 12, 13,  14, 15,  16, 17, 18, 0, 0, 0,
  };
  SeedCrtRandom(5);
  const std::vector<Particle> particles =
      ParticlesForPicture({picture, 3, 2, 12}, kSplashWidth, kSplashHeight, kSplashLo, kSplashHi);
  struct Expected {
    float x, y;
    std::uint32_t colour;
  };
  const Expected expected[] = {
      {384, 151, 0x010203}, {386, 151, 0x070809}, {384, 152, 0x0A0B0C},
      {385, 152, 0x0D0E0F}, {386, 152, 0x101112},
  };
  ASSERT_EQ(particles.size(), std::size(expected));
  for (std::size_t i = 0; i < particles.size(); ++i) {
    EXPECT_EQ(particles[i].targetX, expected[i].x) << i;
    EXPECT_EQ(particles[i].targetY, expected[i].y) << i;
    EXPECT_EQ(particles[i].colour, expected[i].colour) << i;
    EXPECT_GE(particles[i].travel, 800000);
    EXPECT_LT(particles[i].travel, 4000000);
  }
}

TEST(ParticleFrameTest, AnyNumberOfThreadsDrawsTheSameFrames) {
  // A small picture, with transparent pixels, whose streaks cross the
  // boundaries between the threads' bands from all sides.
  PixelBuffer picture(30, 12);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 30; ++x) {
      const bool hole = (x * 7 + y * 3) % 11 == 0;
      FillRect(picture.view(), x, y, x + 1, y + 1,
               hole ? kTransparentColour : 0x102030u * static_cast<std::uint32_t>(x + y + 1));
    }
  }
  SeedCrtRandom(3);
  const std::vector<Particle> start =
      ParticlesForPicture(picture.view(), 64, 40, kSplashLo, kSplashHi);
  const int threads[] = {1, 2, 3, 7};
  std::vector<std::vector<Particle>> particles(std::size(threads), start);
  std::vector<PixelBuffer> frames(std::size(threads), PixelBuffer(64, 40));
  for (int frame = 0; frame < 70; ++frame) {
    const std::int64_t step = 50000 + 20000 * (frame % 3);  // through to the end at 4.3 s
    if (frame == 35) {
      ReleaseParticleScratch();  // the next frame starts from nothing
    }
    for (std::size_t t = 0; t < std::size(threads); ++t) {
      DrawSplashBackground(frames[t].view());
      StepAndDrawParticles(particles[t], step, frames[t].view(), threads[t]);
    }
    for (std::size_t t = 1; t < std::size(threads); ++t) {
      ASSERT_EQ(Pixels(frames[t]), Pixels(frames[0])) << threads[t] << " threads, frame " << frame;
    }
  }
}

TEST(SplashBackgroundTest, GreyInsideABlackFourPixelBorder) {
  PixelBuffer bitmap(12, 10);
  FillRect(bitmap.view(), 0, 0, 12, 10, 0xFFFFFF);
  DrawSplashBackground(bitmap.view());
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 4 && x < 8 && y >= 4 && y < 6;
      EXPECT_EQ(bitmap.PixelAt(x, y), inside ? 0x969696u : 0u) << x << "," << y;
    }
  }
}

TEST(SplashTimelineTest, FadesInHoldsFadesOutAndEndsAfterSevenSeconds) {
  SplashTimeline splash;
  int tick = 0;
  int fadeInDoneAt = 0;
  int fadeOutAt = 0;
  int alphaAtEnd = -1;
  while (!splash.finished() && tick < 2000) {
    ++tick;
    // Long measurements before a fade starts (window creation, the hold)
    // must not count.
    const std::uint64_t elapsed = (tick == 1 || tick == 601) ? 3000000 : 10000;
    const std::optional<FadeActions> fade = splash.StepFade(elapsed, true);
    if (tick == 1) {
      ASSERT_TRUE(fade.has_value());
      EXPECT_EQ(fade->alpha, 0);
    }
    if (fade && splash.fade().done() && !splash.fadeOutStarted()) {
      fadeInDoneAt = tick;
      EXPECT_EQ(fade->alpha, 255);
    }
    if (splash.fadeOutStarted() && fadeOutAt == 0) {
      fadeOutAt = tick;
      ASSERT_TRUE(fade.has_value());
      EXPECT_EQ(fade->alpha, 255) << "the hold's time does not count";
    }
    if (fade) {
      EXPECT_FALSE(fade->stopTimer);
      alphaAtEnd = fade->alpha;
    }
    splash.AddFrameTime(10000);
  }
  EXPECT_EQ(fadeInDoneAt, 101);  // 100 steps of 10 ms after the starting tick
  EXPECT_EQ(fadeOutAt, 601);     // the first tick after 6000 ms
  EXPECT_EQ(tick, 700);          // the frame that takes the time to 7000 ms
  EXPECT_LT(alphaAtEnd, 5);
  EXPECT_FALSE(splash.StepFade(10000, true).has_value());
  EXPECT_TRUE(splash.AddFrameTime(0));
}

TEST(SplashTimelineTest, AStallAdvancesTheSplashByOneSecondAtMost) {
  SplashTimeline splash;
  splash.StepFade(0, true);
  for (int i = 0; i < 6; ++i) {
    EXPECT_FALSE(splash.AddFrameTime(60000000));
  }
  EXPECT_EQ(splash.milliseconds(), 6000u);
  EXPECT_FALSE(splash.AddFrameTime(999999));  // 6999.999 ms
  EXPECT_TRUE(splash.AddFrameTime(1));
}

TEST(AboutParticlesTest, SpawnsTwentyPer200MillisecondsAtTheCentre) {
  struct Case {
    std::vector<std::int64_t> frames;
    std::size_t live;
  };
  const Case cases[] = {
      {{200000}, 0},                                            // the clock must exceed 200 ms
      {{100000, 100001}, 20}, {{450000}, 40}, {{9000000}, 80},  // a stall counts as 1 s
      {{-5000, 150000}, 0},
  };
  for (const Case& c : cases) {
    AboutParticles about;
    for (std::int64_t frame : c.frames) {
      about.Spawn(frame, 301, 200);
    }
    ASSERT_EQ(about.live().size(), c.live);
    for (const Particle& p : about.live()) {
      EXPECT_EQ(p.targetX, 150.0f);
      EXPECT_EQ(p.targetY, 100.0f);
      EXPECT_GE(p.travel, 3000000);
      EXPECT_LT(p.travel, 5000000);
      for (int shift : {0, 8, 16}) {
        const std::uint32_t channel = (p.colour >> shift) & 0xFF;
        EXPECT_GE(channel, 100u);
        EXPECT_LT(channel, 255u);
      }
    }
  }
}

TEST(AboutParticlesTest, FinishedParticlesLeaveAndClearEmpties) {
  PixelBuffer bitmap(301, 200);
  AboutParticles about;
  about.Spawn(200001, bitmap.width(), bitmap.height());
  for (int second = 0; second < 3; ++second) {
    about.StepAndDraw(1000000, bitmap.view());
  }
  EXPECT_EQ(about.live().size(), 20u);  // none arrives before 3.3 s
  for (int second = 3; second < 6; ++second) {
    about.StepAndDraw(1000000, bitmap.view());
  }
  EXPECT_NE(bitmap.PixelAt(150, 100), 0u) << "arrived at the centre";
  about.StepAndDraw(1000000, bitmap.view());  // all arrived by 5.3 s
  EXPECT_TRUE(about.live().empty());

  about.Spawn(150000, bitmap.width(), bitmap.height());
  about.Spawn(1000000, bitmap.width(), bitmap.height());
  about.Clear();
  EXPECT_TRUE(about.live().empty());
  about.Spawn(150000, bitmap.width(), bitmap.height());
  EXPECT_TRUE(about.live().empty()) << "the spawn clock starts again at 0";
}

TEST(AboutFontHeightTest, LargestFittingHeightMinusOneButAtLeastOne) {
  struct Case {
    int limit;
    int largestFitting;  // fits(h) holds for h <= this
    int height;
  };
  const Case cases[] = {
      {100, 20, 19}, {100, 2, 1}, {100, 1, 1}, {100, 0, 1},  // nothing fits a tiny area
      {12, 100, 11},                                         // stops at the limit
      {0, 100, 1},
  };
  for (const Case& c : cases) {
    int calls = 0;
    const int height = AboutFontHeight(c.limit, [&](int h) {
      ++calls;
      return h <= c.largestFitting;
    });
    EXPECT_EQ(height, c.height) << c.limit << "/" << c.largestFitting;
    EXPECT_LE(calls, c.limit);
  }
}
