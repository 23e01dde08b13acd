// The streaks of light of the splash and About windows, drawn into a 24-bit
// bitmap in memory, plus the small rules of the two windows' timing and
// layout. Portable: the windows only copy the bitmap to the screen.
//
// Pixels are B, G, R bytes, row 0 at the top, rows `stride` bytes apart, so a
// top-down DIB section's memory can be drawn into directly. Colours are
// 0x00BBGGRR (a COLORREF).
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "toolkit/fade.h"

// A read-only 24-bit bitmap, e.g. a loaded picture.
struct ConstPixelView {
  const std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;

  const std::uint8_t* At(int x, int y) const { return bits + y * stride + x * 3; }
};

// A writable 24-bit bitmap owned by someone else, its memory spanning
// height x stride bytes (drawing may read a row's padding, never writes it).
struct PixelView {
  std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // bytes from one row to the next

  std::uint8_t* At(int x, int y) const { return bits + y * stride + x * 3; }
  operator ConstPixelView() const { return {bits, width, height, stride}; }
};

// Row size of a 24-bit DIB: three bytes a pixel, padded to four bytes.
std::ptrdiff_t DibStride(int width);

// A 24-bit bitmap in memory with DIB row padding, black when created.
class PixelBuffer {
 public:
  PixelBuffer() = default;
  PixelBuffer(int width, int height);

  PixelView view();
  ConstPixelView view() const;
  int width() const { return width_; }
  int height() const { return height_; }
  std::ptrdiff_t stride() const { return DibStride(width_); }
  std::uint32_t PixelAt(int x, int y) const;  // 0x00BBGGRR

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> bytes_;
};

// Fills [left, right) x [top, bottom), clipped to the bitmap.
void FillRect(PixelView bitmap, int left, int top, int right, int bottom, std::uint32_t colour);

// The splash frame's background: black, with a grey (0x969696) rectangle
// inset by 4 pixels.
void DrawSplashBackground(PixelView bitmap);

// The colour that marks transparent pixels in the pictures.
inline constexpr std::uint32_t kTransparentColour = 0x00FF00FF;

// One streak flying from outside the bitmap to its target.
struct Particle {
  float targetX = 0, targetY = 0;
  float startX = 0, startY = 0;
  std::int32_t headX = 0, headY = 0;  // recomputed by each step
  std::int32_t tailX = 0, tailY = 0;
  std::uint32_t colour = 0;
  std::int64_t elapsed = 0;  // microseconds
  std::int64_t travel = 0;   // microseconds
};

// How long the tail trails the head.
inline constexpr std::int64_t kTrailMicroseconds = 300000;
// Longest time one frame may advance the motion; longer stalls count as this.
inline constexpr std::int64_t kLongestFrameMicroseconds = 1000000;

// Starts a particle for a bitmap of width x height: k = lo + r % (hi - lo),
// r the next value of the thread's CRT generator (base/crt_random.h), which
// the caller seeds. The particle starts on the circle of radius twice the
// half-diagonal around the centre, at the angle 2 pi k / hi, and travels k
// milliseconds. lo may exceed hi (then k lies in lo .. lo + (lo - hi) - 1);
// hi == lo gives k = lo, hi == 0 the angle 0, and a negative k no travel.
Particle StartParticle(int width, int height, float targetX, float targetY, int lo, int hi,
                       std::uint32_t colour);

// Advances a particle by a frame's elapsed time (clamped to 0 .. 1 s) and
// recomputes head and tail. Returns true, changing nothing, when the particle
// had already finished (head and tail at the target); it is then drawn as
// its target pixel only.
bool StepParticle(Particle& particle, std::int64_t elapsedMicroseconds);

// Draws a particle when its head lies strictly inside the bitmap
// (0 < x < width, 0 < y < height): while it flies, a Bresenham line from tail
// to head whose i-th of n pixels (from the tail) is blended toward the colour
// by i / n; once its trail has arrived, its target pixel. Parts of the line
// outside the bitmap, or outside rows top .. bottom - 1, are skipped.
void DrawParticle(const Particle& particle, PixelView bitmap, int top = 0, int bottom = INT_MAX);

// Steps and draws every particle (the splash keeps finished ones: they draw
// their target pixel). Splits the work between `threads` threads (at most
// 4), or with 0 between as many as the machine has when the frame is large
// enough to gain from it; the picture is the same either way.
void StepAndDrawParticles(std::span<Particle> particles, std::int64_t elapsedMicroseconds,
                          PixelView bitmap, int threads = 0);
// StepAndDrawParticles keeps some 30 bytes a particle on the calling thread
// from one frame to the next; this gives them back.
void ReleaseParticleScratch();

// One particle for every non-transparent pixel of a picture, aimed at that
// pixel of the picture centred in a width x height bitmap, with the pixel's
// colour. Uses the CRT generator; the splash seeds it with the time first.
std::vector<Particle> ParticlesForPicture(ConstPixelView picture, int width, int height, int lo,
                                          int hi);

// The splash: particles with travel times of 0.8 to 4 s.
inline constexpr int kSplashLo = 800;
inline constexpr int kSplashHi = 4000;
inline constexpr int kSplashWidth = 770;
inline constexpr int kSplashHeight = 305;

// The splash's timing: the fades (1 s each) and the 7 s it lasts. One tick of
// the splash's frame timer calls StepFade, draws the frame, then calls
// AddFrameTime; when that returns true the splash ends without copying the
// frame.
class SplashTimeline {
 public:
  static constexpr std::uint64_t kFadeMicroseconds = 1000000;

  // Starts the fade-in on the first tick, and the fade-out once the fade-in
  // is done and the splash time exceeds 5999 ms; then steps the fade while it
  // is not done. A fade steps by 0 in the tick that starts it, so the time
  // the fade stopwatch measured before does not count. Returns the actions
  // for the window (only show and the alpha apply), or none when no fade ran.
  std::optional<FadeActions> StepFade(std::uint64_t fadeElapsedMicroseconds, bool visible);

  // Adds a frame's elapsed time (limited to 1 s). True once the splash time
  // exceeds 6999 ms; further calls keep returning true.
  bool AddFrameTime(std::uint64_t frameElapsedMicroseconds);

  std::uint64_t milliseconds() const { return microseconds_ / 1000; }
  bool finished() const { return finished_; }
  bool fadeOutStarted() const { return fadeOutStarted_; }
  const FadeAnimation& fade() const { return fade_; }

 private:
  FadeAnimation fade_;
  std::uint64_t microseconds_ = 0;
  bool fadeInStarted_ = false;
  bool fadeOutStarted_ = false;
  bool finished_ = false;
};

// The About window's streaks: 20 new ones every 200 ms, aimed at the centre
// of the bitmap with travel times of 3 to 5 s and light random colours.
// Finished particles are dropped and their storage reused.
class AboutParticles {
 public:
  static constexpr int kLo = 3000;
  static constexpr int kHi = 1000;
  static constexpr int kPerSpawn = 20;
  static constexpr std::int64_t kSpawnMicroseconds = 200000;

  // Steps and draws the live particles, dropping those that had finished.
  void StepAndDraw(std::int64_t elapsedMicroseconds, PixelView bitmap);
  // Adds the elapsed time (limited to 1 s) to the spawn clock and starts 20
  // particles for each full 200 ms it holds. Each takes red, green and blue
  // as 100 + r % 155 in that order, then its k.
  void Spawn(std::int64_t elapsedMicroseconds, int width, int height);
  // On hiding: no particles, spawn clock at 0.
  void Clear();

  std::span<const Particle> live() const { return live_; }

 private:
  std::vector<Particle> live_;
  std::int64_t spawnClock_ = 0;
};

// The About font height: the largest height h in 1 .. limit for which
// fits(1) .. fits(h) all hold, minus 1, and at least 1. fits(h) says whether
// the first text block measured at height h fits the drawing area.
int AboutFontHeight(int limit, const std::function<bool(int height)>& fits);
