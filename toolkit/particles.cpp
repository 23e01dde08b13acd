#include "toolkit/particles.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/crt_random.h"

namespace {

std::uint8_t Red(std::uint32_t colour) {
  return static_cast<std::uint8_t>(colour & 0xFF);
}
std::uint8_t Green(std::uint32_t colour) {
  return static_cast<std::uint8_t>((colour >> 8) & 0xFF);
}
std::uint8_t Blue(std::uint32_t colour) {
  return static_cast<std::uint8_t>((colour >> 16) & 0xFF);
}

void SetPixel(std::uint8_t* pixel, std::uint32_t colour) {
  pixel[0] = Blue(colour);
  pixel[1] = Green(colour);
  pixel[2] = Red(colour);
}

// A float coordinate as a pixel coordinate; out-of-range values (never met
// with sane targets) are pinned instead of overflowing.
std::int32_t ToPixel(float value) {
  constexpr float kLimit = 1.0e9f;
  if (!(value > -kLimit)) {
    return std::isnan(value) ? 0 : -1000000000;
  }
  if (value > kLimit) {
    return 1000000000;
  }
  return static_cast<std::int32_t>(value);
}

#if !defined(__SSE2__)
float Along(float start, float target, float fraction) {
  return fraction >= 1.0f ? target : start + (target - start) * fraction;
}
#endif

// floor(a * b / c) and the remainder, for a, b and c below 2^35 (c > 0) and a
// quotient that fits, in 64 bits: b is split so that no product overflows.
struct Quotient {
  std::uint64_t quotient;
  std::uint64_t remainder;
};

Quotient MulDiv(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
  if (a < (std::uint64_t{1} << 31) && b < (std::uint64_t{1} << 32)) {
    const std::uint64_t product = a * b;
    return {product / c, product % c};
  }
  const std::uint64_t high = a * (b >> 17);
  const std::uint64_t low = a * (b & 0x1FFFF);
  const std::uint64_t rest = ((high % c) << 17) + low;
  return {((high / c) << 17) + rest / c, rest % c};
}

// The pixels of the error-term Bresenham line from (x0, y0) to (x1, y1)
// (err = dx - dy, stepping x while 2 err > -dy and y while 2 err < dx). Its
// k-th pixel (from 0) lies k steps along the major axis and
// floor((2 k dMinor + dMajor - 1) / (2 dMajor)) steps along the minor one, so
// the pixels inside a rectangle are found without walking to them.
class Line {
 public:
  Line(int x0, int y0, int x1, int y1)
      : x0_(x0), y0_(y0), sx_(x0 < x1 ? 1 : -1), sy_(y0 < y1 ? 1 : -1) {
    const std::int64_t dx = std::abs(static_cast<std::int64_t>(x1) - x0);
    const std::int64_t dy = std::abs(static_cast<std::int64_t>(y1) - y0);
    xMajor_ = dx >= dy;
    dMajor_ = xMajor_ ? dx : dy;
    dMinor_ = xMajor_ ? dy : dx;
  }

  std::int64_t pixels() const { return dMajor_ + 1; }
  // Whether the line runs leftward along rows.
  bool leftward() const { return xMajor_ && sx_ < 0; }

  // The pixels k in [begin, end) lie inside [left, right) x [top, bottom).
  // Both coordinates move monotonically, so they form one run.
  struct Run {
    std::int64_t begin;
    std::int64_t end;
  };
  Run Clip(int left, int top, int right, int bottom) const {
    const Run x = AxisRun(x0_, sx_, xMajor_, left, right);
    const Run y = AxisRun(y0_, sy_, !xMajor_, top, bottom);
    return {std::max(x.begin, y.begin), std::min(x.end, y.end)};
  }

  // A walk over the line's pixels in the bitmap, one way or the other.
  struct Walk {
    std::uint8_t* pixel;
    std::ptrdiff_t majorStep;
    std::ptrdiff_t diagonalStep;
    // The division's remainder (or, walking back, 2 dMajor - 1 less it)
    // less 2 dMajor: the minor axis moves when it turns non-negative.
    std::int64_t error;
    std::int64_t twoMinor;
    std::int64_t twoMinorLessMajor;

    void Next() {
      // Both outcomes are computed up front to keep the chain from one pixel
      // to the next short.
      const std::int64_t straight = error + twoMinor;
      const std::int64_t diagonal = error + twoMinorLessMajor;
      const bool minorMove = straight >= 0;
      error = minorMove ? diagonal : straight;
      pixel += minorMove ? diagonalStep : majorStep;
    }
  };
  // Starts at pixel k, walking toward the head, or back toward the tail.
  Walk WalkFrom(std::int64_t k, bool back, PixelView bitmap) const {
    const std::int64_t twoMajor = 2 * dMajor_;
    std::int64_t minorSteps = 0;
    std::int64_t remainder = std::max<std::int64_t>(dMajor_ - 1, 0);
    if (k > 0) {
      const Quotient q =
          MulDiv(static_cast<std::uint64_t>(k), static_cast<std::uint64_t>(2 * dMinor_),
                 static_cast<std::uint64_t>(twoMajor));
      minorSteps = static_cast<std::int64_t>(q.quotient);
      remainder += static_cast<std::int64_t>(q.remainder);
      if (remainder >= twoMajor) {
        remainder -= twoMajor;
        ++minorSteps;
      }
    }
    const auto x = static_cast<int>(x0_ + sx_ * (xMajor_ ? k : minorSteps));
    const auto y = static_cast<int>(y0_ + sy_ * (xMajor_ ? minorSteps : k));
    const std::ptrdiff_t stepX = sx_ * 3;
    const std::ptrdiff_t stepY = sy_ * bitmap.stride;
    const std::ptrdiff_t direction = back ? -1 : 1;
    // Walking back, the remainder drops by 2 dMinor a step and the minor
    // axis moves back when it would turn negative: the same as its
    // complement to 2 dMajor - 1 rising.
    return {bitmap.At(x, y),
            direction * (xMajor_ ? stepX : stepY),
            direction * (stepX + stepY),
            (back ? twoMajor - 1 - remainder : remainder) - twoMajor,
            2 * dMinor_,
            2 * dMinor_ - twoMajor};
  }

 private:
  // First pixel after at least `steps` steps along one axis, or pixels()
  // when the line never takes that many.
  std::int64_t FirstAfter(std::int64_t steps, bool major) const {
    if (steps <= 0) {
      return 0;
    }
    if (major) {
      return std::min(steps, pixels());
    }
    if (steps > dMinor_) {
      return pixels();
    }
    // The smallest k with 2 k dMinor > (2 steps - 1) dMajor.
    const Quotient q =
        MulDiv(static_cast<std::uint64_t>(2 * steps - 1), static_cast<std::uint64_t>(dMajor_),
               static_cast<std::uint64_t>(2 * dMinor_));
    return static_cast<std::int64_t>(q.quotient) + 1;
  }

  Run AxisRun(std::int64_t start, int sign, bool major, std::int64_t lo, std::int64_t hi) const {
    if (sign > 0) {
      return {FirstAfter(lo - start, major), FirstAfter(hi - start, major)};
    }
    return {FirstAfter(start - hi + 1, major), FirstAfter(start - lo + 1, major)};
  }

  std::int64_t x0_, y0_;
  int sx_, sy_;
  bool xMajor_ = true;
  std::int64_t dMajor_ = 0;
  std::int64_t dMinor_ = 0;
};

// The i-th of n pixels of a streak becomes (old * (n - i) + colour * i) / n
// per channel. This does the exact integer division as a multiplication by a
// 48-bit reciprocal (exact for n below a million; used as is above that).
// Expanded, that is old * ((n - i) * reciprocal) plus
// colour * i * reciprocal, both stepping by a constant from one pixel to the
// next (in 64-bit wrapping arithmetic, either way): one multiplication a
// channel, with the same result.
class ReciprocalBlend {
 public:
  ReciprocalBlend(std::uint32_t colour, std::uint64_t n, std::uint64_t i, bool back) {
    const std::uint64_t reciprocal = ((std::uint64_t{1} << 48) + n - 1) / n;
    rest_ = (n - i) * reciprocal;
    restStep_ = back ? reciprocal : 0 - reciprocal;
    const std::uint64_t channels[3] = {Blue(colour), Green(colour), Red(colour)};
    for (int c = 0; c < 3; ++c) {
      colour_[c] = channels[c] * reciprocal * i;
      colourStep_[c] = back ? 0 - channels[c] * reciprocal : channels[c] * reciprocal;
    }
  }

  void Apply(std::uint8_t* pixel) const {
    for (int c = 0; c < 3; ++c) {
      pixel[c] = static_cast<std::uint8_t>((pixel[c] * rest_ + colour_[c]) >> 48);
    }
  }

  void Next() {
    rest_ += restStep_;
    for (int c = 0; c < 3; ++c) {
      colour_[c] += colourStep_[c];
    }
  }

 private:
  std::uint64_t rest_;
  std::uint64_t restStep_;
  std::uint64_t colour_[3];
  std::uint64_t colourStep_[3];
};

#if defined(__SSE2__)
// Streaks up to this long take the vector blend.
constexpr std::int64_t kVectorBlendLimit = 16384;

// The same blend for all three channels at once: old * (n - i) + colour * i
// as one multiply-add of 16-bit pairs, then the division as a float
// multiplication by 1 / n rounded up, truncated. Exact for n up to 16384:
// the product is at least the true quotient, and exceeds it by less than
// 2^-15 + 2^-17 while the quotient's fraction stays 1 / n below the next
// integer.
//
// kWideLoad reads the pixel's three bytes and the next one at once. That
// byte is not written, and lies in the same row when the row has padding.
// The walk must not step left along a row: the read would take in a byte
// just written for the pixel before, which the processor cannot forward from
// the pending writes and so waits for.
template <bool kWideLoad>
class VectorBlend {
 public:
  VectorBlend(std::uint32_t colour, std::int64_t n, std::int64_t i, bool back)
      : colour_(_mm_setr_epi16(static_cast<short>(Blue(colour)), static_cast<short>(Green(colour)),
                               static_cast<short>(Red(colour)), 0, 0, 0, 0, 0)),
        // Each 32-bit lane holds n - i in its low half and i in its high half.
        weights_(_mm_set1_epi32(static_cast<int>((static_cast<std::uint32_t>(i) << 16) |
                                                 static_cast<std::uint32_t>(n - i)))),
        weightStep_(_mm_set1_epi32(static_cast<int>(back ? 0xFFFF0001u : 0x0001FFFFu))),
        inverse_(_mm_set1_ps(InverseRoundedUp(n))) {}

  void Apply(std::uint8_t* pixel) const {
    std::uint32_t bytes = 0;
    if constexpr (kWideLoad) {
      std::memcpy(&bytes, pixel, 4);
    } else {
      std::uint16_t low = 0;
      std::memcpy(&low, pixel, 2);
      bytes = low | (static_cast<std::uint32_t>(pixel[2]) << 16);
    }
    const __m128i zero = _mm_setzero_si128();
    const __m128i old = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(bytes)), zero);
    const __m128i sums = _mm_madd_epi16(_mm_unpacklo_epi16(old, colour_), weights_);
    __m128i result = _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(sums), inverse_));
    result = _mm_packs_epi32(result, result);
    result = _mm_packus_epi16(result, result);
    const auto blended = static_cast<std::uint32_t>(_mm_cvtsi128_si32(result));
    const auto low = static_cast<std::uint16_t>(blended);
    std::memcpy(pixel, &low, 2);
    pixel[2] = static_cast<std::uint8_t>(blended >> 16);
  }

  void Next() { weights_ = _mm_add_epi16(weights_, weightStep_); }

 private:
  // The smallest float at least 1 / n: m 2^-(23 + bits), m the ceiling of
  // 2^(23 + bits) / n, which lies in 2^23 .. 2^24, put together bit by bit.
  static float InverseRoundedUp(std::int64_t n) {
    const int bits = std::bit_width(static_cast<std::uint64_t>(n));
    const std::int64_t m = ((std::int64_t{1} << (23 + bits)) + n - 1) / n;
    return std::bit_cast<float>(
        static_cast<std::uint32_t>(((127 - bits) << 23) + (m - (std::int64_t{1} << 23))));
  }

  __m128i colour_;
  __m128i weights_;
  __m128i weightStep_;
  __m128 inverse_;
};
#endif

template <typename Blend>
void DrawRun(Line::Walk walk, std::int64_t count, Blend blend) {
  blend.Apply(walk.pixel);
  while (--count > 0) {
    blend.Next();
    walk.Next();
    blend.Apply(walk.pixel);
  }
}

// Blends the pixels of the streak from (x0, y0) to (x1, y1) that lie in rows
// top .. bottom - 1 of the bitmap (0 <= top, bottom <= height). The pixels
// are distinct, so their order does not matter: a leftward streak is walked
// back, rightward. Out of line, which keeps the loops over the particles
// small and leaves the registers to the loop over the pixels.
[[gnu::noinline]] void DrawStreak(PixelView bitmap, int x0, int y0, int x1, int y1,
                                  std::uint32_t colour, int top, int bottom) {
  const Line line(x0, y0, x1, y1);
  const Line::Run run = line.Clip(0, top, bitmap.width, bottom);
  if (run.begin >= run.end) {
    return;
  }
  const bool back = line.leftward();
  const std::int64_t first = back ? run.end - 1 : run.begin;
  const Line::Walk walk = line.WalkFrom(first, back, bitmap);
  const std::int64_t count = run.end - run.begin;
  const std::int64_t n = line.pixels();
  const std::int64_t i = first + 1;
#if defined(__SSE2__)
  if (n <= kVectorBlendLimit) {
    if (bitmap.stride > std::ptrdiff_t{3} * bitmap.width) {
      DrawRun(walk, count, VectorBlend<true>(colour, n, i, back));
    } else {
      DrawRun(walk, count, VectorBlend<false>(colour, n, i, back));
    }
    return;
  }
#endif
  DrawRun(
      walk, count,
      ReciprocalBlend(colour, static_cast<std::uint64_t>(n), static_cast<std::uint64_t>(i), back));
}

// A particle as this frame draws it: a streak from tail to head, the head
// strictly inside the bitmap. A finished particle has its tail moved onto
// its head: its pixel is set to the colour, which is also what blending a
// one-pixel streak gives.
struct Mark {
  std::int32_t tailX, tailY, headX, headY;
  std::uint32_t colour;
};

// Fills in the particle's mark and says whether it is drawn at all, its head
// strictly inside the bitmap. Without branches: heads fly in from all sides,
// so branches on them would be mispredicted often.
bool MarkFor(const Particle& particle, PixelView bitmap, Mark& mark) {
  const int x = particle.headX;
  const int y = particle.headY;
  const bool insideX =
      static_cast<unsigned>(x) - 1 < static_cast<unsigned>(std::max(bitmap.width, 1)) - 1;
  const bool insideY =
      static_cast<unsigned>(y) - 1 < static_cast<unsigned>(std::max(bitmap.height, 1)) - 1;
  // The head sits exactly on the target once the trail has arrived.
  const bool flying = particle.elapsed < particle.travel + kTrailMicroseconds;
  mark = {flying ? particle.tailX : x, flying ? particle.tailY : y, x, y, particle.colour};
  return static_cast<int>(insideX) & static_cast<int>(insideY);
}

void DrawMark(const Mark& mark, PixelView bitmap, int top, int bottom) {
  if (mark.tailX == mark.headX && mark.tailY == mark.headY) {
    if (top <= mark.headY && mark.headY < bottom) {
      SetPixel(bitmap.At(mark.headX, mark.headY), mark.colour);
    }
    return;
  }
  if (std::max(mark.tailY, mark.headY) < top || std::min(mark.tailY, mark.headY) >= bottom) {
    return;
  }
  DrawStreak(bitmap, mark.tailX, mark.tailY, mark.headX, mark.headY, mark.colour, top, bottom);
}

// What one thread notes while stepping its share of the particles.
struct Share {
  std::size_t first = 0;  // its marks: marks[first .. first + count - 1]
  std::size_t count = 0;
  // Rough cost of drawing a sample of the marks, spread over their rows, as
  // the difference from each row to the next.
  std::vector<float> rowWork;
  // While drawing: the marks (their indices) that reach into the thread's
  // band.
  std::vector<std::uint32_t> picks;
};

// Room kept from frame to frame by the thread that draws them.
struct Scratch {
  std::vector<Mark> marks;
  std::vector<Share> shares;
};
thread_local Scratch scratch;

// Adds a mark's rough drawing cost, spread evenly over its rows in the
// bitmap: its pixels there, about the longer side of its clipped box, plus a
// streak's setting up.
void AddRowWork(const Mark& mark, PixelView bitmap, std::vector<float>& rowWork) {
  constexpr int kSetupPixels = 32;
  const int top = std::clamp(std::min(mark.tailY, mark.headY), 0, bitmap.height - 1);
  const int bottom = std::clamp(std::max(mark.tailY, mark.headY), 0, bitmap.height - 1);
  const int left = std::clamp(std::min(mark.tailX, mark.headX), 0, bitmap.width - 1);
  const int right = std::clamp(std::max(mark.tailX, mark.headX), 0, bitmap.width - 1);
  const bool streak = mark.tailX != mark.headX || mark.tailY != mark.headY;
  const int cost =
      std::max(right - left, bottom - top) + 1 + kSetupPixels * static_cast<int>(streak);
  const float perRow = static_cast<float>(cost) / static_cast<float>(bottom - top + 1);
  rowWork[static_cast<std::size_t>(top)] += perRow;
  rowWork[static_cast<std::size_t>(bottom) + 1] -= perRow;
}

// Row bands of about equal drawing cost, one a thread: band k is rows
// bands[k] .. bands[k + 1] - 1. Also gives the whole cost.
std::vector<int> BalancedBands(const std::vector<Share>& shares, int threads, int height,
                               double& total) {
  std::vector<double> work(static_cast<std::size_t>(height));  // rows 0 .. y
  double perRow = 0.0;
  double sum = 0.0;
  for (std::size_t y = 0; y < work.size(); ++y) {
    for (const Share& share : shares) {
      perRow += share.rowWork[y];
    }
    sum += std::max(perRow, 0.0);
    work[y] = sum;
  }
  total = sum;
  std::vector<int> bands(static_cast<std::size_t>(threads) + 1, height);
  bands[0] = 0;
  for (int k = 1; k < threads; ++k) {
    const double due = sum * k / threads;
    const auto row =
        static_cast<int>(std::lower_bound(work.begin(), work.end(), due) - work.begin());
    bands[static_cast<std::size_t>(k)] = std::max(row, bands[static_cast<std::size_t>(k) - 1]);
  }
  return bands;
}

// Runs job(0) .. job(count - 1) at once, job(0) on the calling thread; the
// calling thread also takes any part a new thread could not be started for.
void RunInParallel(int count, const std::function<void(int)>& job) {
  std::vector<std::thread> helpers;
  helpers.reserve(static_cast<std::size_t>(count));
  int started = 1;
  try {
    for (; started < count; ++started) {
      helpers.emplace_back(job, started);
    }
  } catch (const std::system_error&) {
  }
  job(0);
  for (int part = started; part < count; ++part) {
    job(part);
  }
  for (std::thread& helper : helpers) {
    helper.join();
  }
}

// With threads 0, a frame is split between up to kMostThreads threads, one
// for each kParticlesPerThread particles, and so is its drawing once that
// comes to about 300000 pixels (the estimate samples a quarter of the marks).
constexpr int kMostThreads = 4;
constexpr std::size_t kParticlesPerThread = 4096;
constexpr double kWorkWorthSplitting = 300000.0 / 4;

int ThreadsFor(int requested, std::size_t particles, int height) {
  int threads = requested;
  if (threads <= 0) {
    threads = static_cast<int>(std::min<std::size_t>(
        std::max(std::thread::hardware_concurrency(), 1u), particles / kParticlesPerThread));
  }
  return std::clamp(std::min(threads, height), 1, kMostThreads);
}

}  // namespace

std::ptrdiff_t DibStride(int width) {
  return (static_cast<std::ptrdiff_t>(std::max(width, 0)) * 3 + 3) & ~std::ptrdiff_t{3};
}

PixelBuffer::PixelBuffer(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      bytes_(static_cast<std::size_t>(DibStride(width_) * height_)) {}

PixelView PixelBuffer::view() {
  return {bytes_.data(), width_, height_, stride()};
}

ConstPixelView PixelBuffer::view() const {
  return {bytes_.data(), width_, height_, stride()};
}

std::uint32_t PixelBuffer::PixelAt(int x, int y) const {
  const std::uint8_t* pixel = view().At(x, y);
  return pixel[2] | (pixel[1] << 8) | (pixel[0] << 16);
}

void FillRect(PixelView bitmap, int left, int top, int right, int bottom, std::uint32_t colour) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, bitmap.width);
  bottom = std::min(bottom, bitmap.height);
  if (left >= right || top >= bottom) {
    return;
  }
  const std::uint8_t b = Blue(colour);
  const std::uint8_t g = Green(colour);
  const std::uint8_t r = Red(colour);
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* pixel = bitmap.At(left, y);
    if (b == g && g == r) {
      std::fill(pixel, pixel + (right - left) * 3, b);
      continue;
    }
    for (int x = left; x < right; ++x, pixel += 3) {
      pixel[0] = b;
      pixel[1] = g;
      pixel[2] = r;
    }
  }
}

void DrawSplashBackground(PixelView bitmap) {
  FillRect(bitmap, 0, 0, bitmap.width, bitmap.height, 0x000000);
  FillRect(bitmap, 4, 4, bitmap.width - 4, bitmap.height - 4, 0x969696);
}

Particle StartParticle(int width, int height, float targetX, float targetY, int lo, int hi,
                       std::uint32_t colour) {
  const int r = NextCrtRandom();
  const std::int64_t span = static_cast<std::int64_t>(hi) - lo;
  // The remainder takes the dividend's sign, so k never falls below lo.
  const std::int64_t k = span == 0 ? lo : lo + r % span;
  const int halfW = width / 2;
  const int halfH = height / 2;
  const double radius = 2.0 * std::hypot(static_cast<double>(halfW), static_cast<double>(halfH));
  const float angle =
      hi == 0 ? 0.0f : static_cast<float>(2.0 * std::numbers::pi * static_cast<double>(k) / hi);

  Particle particle;
  particle.targetX = targetX;
  particle.targetY = targetY;
  particle.startX = static_cast<float>(halfW + radius * std::cos(angle));
  particle.startY = static_cast<float>(halfH + radius * std::sin(angle));
  particle.headX = particle.tailX = ToPixel(particle.startX);
  particle.headY = particle.tailY = ToPixel(particle.startY);
  particle.colour = colour;
  particle.travel = std::max<std::int64_t>(k, 0) * 1000;
  return particle;
}

bool StepParticle(Particle& particle, std::int64_t elapsedMicroseconds) {
  const std::int64_t end = particle.travel + kTrailMicroseconds;
  if (particle.elapsed >= end) {
    return true;
  }
  const std::int64_t step =
      std::clamp<std::int64_t>(elapsedMicroseconds, 0, kLongestFrameMicroseconds);
  particle.elapsed = std::min(particle.elapsed + step, end);

  const std::int64_t travelMs = std::max<std::int64_t>(particle.travel / 1000, 1);
  const std::int64_t t = particle.elapsed / 1000;
  const auto headDone = static_cast<float>(std::min(t, travelMs));
  const auto tailDone =
      static_cast<float>(std::clamp<std::int64_t>(t - kTrailMicroseconds / 1000, 0, travelMs));
  const auto travelFloat = static_cast<float>(travelMs);
#if defined(__SSE2__)
  // Head x, head y, tail x and tail y in four lanes, by the same float
  // operations as Along and ToPixel.
  const __m128 fraction =
      _mm_div_ps(_mm_setr_ps(headDone, headDone, tailDone, tailDone), _mm_set1_ps(travelFloat));
  const __m128 target =
      _mm_setr_ps(particle.targetX, particle.targetY, particle.targetX, particle.targetY);
  const __m128 start =
      _mm_setr_ps(particle.startX, particle.startY, particle.startX, particle.startY);
  const __m128 along = _mm_add_ps(start, _mm_mul_ps(_mm_sub_ps(target, start), fraction));
  const __m128 arrived = _mm_cmpge_ps(fraction, _mm_set1_ps(1.0f));
  const __m128 value = _mm_or_ps(_mm_and_ps(arrived, target), _mm_andnot_ps(arrived, along));
  constexpr float kLimit = 1.0e9f;
  const __m128i pinned = _mm_set1_epi32(1000000000);
  const __m128i low = _mm_castps_si128(_mm_cmpgt_ps(value, _mm_set1_ps(-kLimit)));
  const __m128i high = _mm_castps_si128(_mm_cmpgt_ps(value, _mm_set1_ps(kLimit)));
  const __m128i number = _mm_castps_si128(_mm_cmpord_ps(value, value));
  // Below the range (not above -kLimit): -10^9, or 0 for NaN.
  __m128i pixel =
      _mm_andnot_si128(low, _mm_and_si128(number, _mm_sub_epi32(_mm_setzero_si128(), pinned)));
  pixel = _mm_or_si128(pixel, _mm_and_si128(low, _mm_cvttps_epi32(value)));
  pixel = _mm_or_si128(_mm_andnot_si128(high, pixel), _mm_and_si128(high, pinned));
  alignas(16) std::int32_t pixels[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(pixels), pixel);
  particle.headX = pixels[0];
  particle.headY = pixels[1];
  particle.tailX = pixels[2];
  particle.tailY = pixels[3];
#else
  const float headFraction = headDone / travelFloat;
  const float tailFraction = tailDone / travelFloat;
  particle.headX = ToPixel(Along(particle.startX, particle.targetX, headFraction));
  particle.headY = ToPixel(Along(particle.startY, particle.targetY, headFraction));
  particle.tailX = ToPixel(Along(particle.startX, particle.targetX, tailFraction));
  particle.tailY = ToPixel(Along(particle.startY, particle.targetY, tailFraction));
#endif
  return false;
}

void DrawParticle(const Particle& particle, PixelView bitmap, int top, int bottom) {
  Mark mark;
  if (MarkFor(particle, bitmap, mark)) {
    DrawMark(mark, bitmap, std::max(top, 0), std::min(bottom, bitmap.height));
  }
}

void StepAndDrawParticles(std::span<Particle> particles, std::int64_t elapsedMicroseconds,
                          PixelView bitmap, int threads) {
  const bool chosen = threads <= 0;
  threads = ThreadsFor(threads, particles.size(), bitmap.height);
  // Each thread steps a share of the particles, noting what to draw; then
  // each draws every streak's pixels in its own band of rows. A pixel lies in
  // one band, so it still sees the particles in their order.
  std::vector<Mark>& marks = scratch.marks;  // the calling thread's, filled by all
  std::vector<Share>& shares = scratch.shares;
  const std::size_t total = particles.size();
  marks.resize(std::max(marks.size(), total));
  shares.resize(static_cast<std::size_t>(threads));
  RunInParallel(threads, [&](int part) {
    const std::size_t first =
        total * static_cast<std::size_t>(part) / static_cast<std::size_t>(threads);
    const std::size_t last =
        total * static_cast<std::size_t>(part + 1) / static_cast<std::size_t>(threads);
    Mark* const own = marks.data() + first;
    std::size_t count = 0;
    for (Particle& particle : particles.subspan(first, last - first)) {
      StepParticle(particle, elapsedMicroseconds);
      count += static_cast<std::size_t>(MarkFor(particle, bitmap, own[count]));
    }
    Share& share = shares[static_cast<std::size_t>(part)];
    share.first = first;
    share.count = count;
    // A sample is enough to balance the bands (and adding up in the loop
    // above slowed it down much more than this costs).
    share.rowWork.assign(static_cast<std::size_t>(bitmap.height) + 1, 0.0f);
    for (std::size_t i = 0; i < count; i += 4) {
      AddRowWork(own[i], bitmap, share.rowWork);
    }
  });
  double work = 0.0;
  const std::vector<int> bands = BalancedBands(shares, threads, bitmap.height, work);
  if (threads == 1 || (chosen && work < kWorkWorthSplitting)) {
    for (const Share& share : shares) {
      for (std::size_t i = share.first; i < share.first + share.count; ++i) {
        DrawMark(marks[i], bitmap, 0, bitmap.height);
      }
    }
    return;
  }
  RunInParallel(threads, [&](int part) {
    const int top = bands[static_cast<std::size_t>(part)];
    const int bottom = bands[static_cast<std::size_t>(part) + 1];
    // Picked without branching: which marks reach the band is hard to guess.
    std::vector<std::uint32_t>& picks = shares[static_cast<std::size_t>(part)].picks;
    picks.resize(std::max(picks.size(), total));
    std::size_t picked = 0;
    for (const Share& share : shares) {
      for (std::size_t i = share.first; i < share.first + share.count; ++i) {
        const Mark& mark = marks[i];
        picks[picked] = static_cast<std::uint32_t>(i);
        picked += static_cast<std::size_t>(std::max(mark.tailY, mark.headY) >= top) &
                  static_cast<std::size_t>(std::min(mark.tailY, mark.headY) < bottom);
      }
    }
    for (std::size_t i = 0; i < picked; ++i) {
      DrawMark(marks[picks[i]], bitmap, top, bottom);
    }
  });
}

void ReleaseParticleScratch() {
  scratch = {};
}

std::vector<Particle> ParticlesForPicture(ConstPixelView picture, int width, int height, int lo,
                                          int hi) {
  std::vector<Particle> particles;
  particles.reserve(static_cast<std::size_t>(std::max(picture.width, 0)) *
                    static_cast<std::size_t>(std::max(picture.height, 0)));
  const int left = width / 2 - picture.width / 2;
  const int top = height / 2 - picture.height / 2;
  for (int j = 0; j < picture.height; ++j) {
    for (int i = 0; i < picture.width; ++i) {
      const std::uint8_t* pixel = picture.At(i, j);
      const std::uint32_t colour = pixel[2] | (pixel[1] << 8) | (pixel[0] << 16);
      if (colour == kTransparentColour) {
        continue;
      }
      particles.push_back(StartParticle(width, height, static_cast<float>(left + i),
                                        static_cast<float>(top + j), lo, hi, colour));
    }
  }
  return particles;
}

std::optional<FadeActions> SplashTimeline::StepFade(std::uint64_t fadeElapsedMicroseconds,
                                                    bool visible) {
  if (finished_) {
    return std::nullopt;
  }
  if (!fadeInStarted_) {
    fadeInStarted_ = true;
    fade_.StartIn();
    fadeElapsedMicroseconds = 0;
  } else if (!fadeOutStarted_ && fade_.done() && milliseconds() > 5999) {
    fadeOutStarted_ = true;
    fade_.StartOut();
    fadeElapsedMicroseconds = 0;
  }
  if (fade_.done()) {
    return std::nullopt;
  }
  return fade_.Tick(fadeElapsedMicroseconds, kFadeMicroseconds, visible, CloseCode::None);
}

bool SplashTimeline::AddFrameTime(std::uint64_t frameElapsedMicroseconds) {
  if (!finished_) {
    microseconds_ += std::min<std::uint64_t>(frameElapsedMicroseconds, kLongestFrameMicroseconds);
    finished_ = milliseconds() > 6999;
  }
  return finished_;
}

void AboutParticles::StepAndDraw(std::int64_t elapsedMicroseconds, PixelView bitmap) {
  std::size_t kept = 0;
  for (Particle& particle : live_) {
    if (StepParticle(particle, elapsedMicroseconds)) {
      continue;
    }
    DrawParticle(particle, bitmap);
    live_[kept++] = particle;
  }
  live_.resize(kept);
}

void AboutParticles::Spawn(std::int64_t elapsedMicroseconds, int width, int height) {
  spawnClock_ += std::clamp<std::int64_t>(elapsedMicroseconds, 0, kLongestFrameMicroseconds);
  while (spawnClock_ > kSpawnMicroseconds) {
    spawnClock_ -= kSpawnMicroseconds;
    for (int n = 0; n < kPerSpawn; ++n) {
      const std::uint32_t red = 100 + NextCrtRandom() % 155;
      const std::uint32_t green = 100 + NextCrtRandom() % 155;
      const std::uint32_t blue = 100 + NextCrtRandom() % 155;
      live_.push_back(StartParticle(width, height, static_cast<float>(width / 2),
                                    static_cast<float>(height / 2), kLo, kHi,
                                    red | (green << 8) | (blue << 16)));
    }
  }
}

void AboutParticles::Clear() {
  live_.clear();
  spawnClock_ = 0;
}

int AboutFontHeight(int limit, const std::function<bool(int height)>& fits) {
  int largest = 0;
  while (largest < limit && fits(largest + 1)) {
    ++largest;
  }
  return std::max(largest - 1, 1);
}
