#include "toolkit/particles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

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

float Along(float start, float target, float fraction) {
  return fraction >= 1.0f ? target : start + (target - start) * fraction;
}

// Blends pixels toward one colour by i / n, with exact integer division done
// as a multiplication by a 48-bit reciprocal (exact for n below a million).
class StreakBlend {
 public:
  StreakBlend(std::uint32_t colour, std::int64_t n)
      : n_(static_cast<std::uint64_t>(n)),
        reciprocal_(((std::uint64_t{1} << 48) + n_ - 1) / n_),
        b_(Blue(colour)),
        g_(Green(colour)),
        r_(Red(colour)) {}

  void Apply(std::uint8_t* pixel, std::uint64_t i) const {
    const std::uint64_t rest = n_ - i;
    pixel[0] = Channel(pixel[0], b_, i, rest);
    pixel[1] = Channel(pixel[1], g_, i, rest);
    pixel[2] = Channel(pixel[2], r_, i, rest);
  }

 private:
  std::uint8_t Channel(std::uint64_t old, std::uint64_t colour, std::uint64_t i,
                       std::uint64_t rest) const {
    return static_cast<std::uint8_t>(((old * rest + colour * i) * reciprocal_) >> 48);
  }

  std::uint64_t n_;
  std::uint64_t reciprocal_;
  std::uint64_t b_, g_, r_;
};

bool Inside(int x, int y, int width, int height) {
  return static_cast<unsigned>(x) < static_cast<unsigned>(width) &&
         static_cast<unsigned>(y) < static_cast<unsigned>(height);
}

// Bresenham from (x0, y0) to (x1, y1), the end inside the bitmap. Both
// coordinates move monotonically toward the end, so once a pixel is inside,
// all later ones are: only the leading part needs bounds checks.
void DrawStreak(PixelView bitmap, int x0, int y0, int x1, int y1, std::uint32_t colour) {
  const std::int64_t dx = std::abs(static_cast<std::int64_t>(x1) - x0);
  const std::int64_t dy = std::abs(static_cast<std::int64_t>(y1) - y0);
  const int sx = x0 < x1 ? 1 : -1;
  const int sy = y0 < y1 ? 1 : -1;
  const std::int64_t n = std::max(dx, dy) + 1;
  const StreakBlend blend(colour, n);
  const std::ptrdiff_t stepX = sx * 3;
  const std::ptrdiff_t stepY = sy * bitmap.stride;

  std::int64_t err = dx - dy;
  int x = x0;
  int y = y0;
  std::int64_t i = 1;
  for (; i <= n && !Inside(x, y, bitmap.width, bitmap.height); ++i) {
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
  if (i > n) {
    return;
  }
  std::uint8_t* pixel = bitmap.At(x, y);
  for (;; ++i) {
    blend.Apply(pixel, static_cast<std::uint64_t>(i));
    if (i == n) {
      break;
    }
    const std::int64_t e2 = 2 * err;
    if (e2 > -dy) {
      err -= dy;
      pixel += stepX;
    }
    if (e2 < dx) {
      err += dx;
      pixel += stepY;
    }
  }
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
  const float headFraction =
      static_cast<float>(std::min(t, travelMs)) / static_cast<float>(travelMs);
  const float tailFraction =
      static_cast<float>(std::clamp<std::int64_t>(t - kTrailMicroseconds / 1000, 0, travelMs)) /
      static_cast<float>(travelMs);
  particle.headX = ToPixel(Along(particle.startX, particle.targetX, headFraction));
  particle.headY = ToPixel(Along(particle.startY, particle.targetY, headFraction));
  particle.tailX = ToPixel(Along(particle.startX, particle.targetX, tailFraction));
  particle.tailY = ToPixel(Along(particle.startY, particle.targetY, tailFraction));
  return false;
}

void DrawParticle(const Particle& particle, PixelView bitmap) {
  const int x = particle.headX;
  const int y = particle.headY;
  if (!(0 < x && x < bitmap.width && 0 < y && y < bitmap.height)) {
    return;
  }
  if (particle.elapsed < particle.travel + kTrailMicroseconds) {
    DrawStreak(bitmap, particle.tailX, particle.tailY, x, y, particle.colour);
  } else {
    // The head sits exactly on the target once the trail has arrived.
    SetPixel(bitmap.At(x, y), particle.colour);
  }
}

void StepAndDrawParticles(std::span<Particle> particles, std::int64_t elapsedMicroseconds,
                          PixelView bitmap) {
  for (Particle& particle : particles) {
    StepParticle(particle, elapsedMicroseconds);
    DrawParticle(particle, bitmap);
  }
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
