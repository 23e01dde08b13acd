#include "toolkit/fade.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kLongestStepMicroseconds = 1000000;
constexpr float kOpaqueSnap = 0.99999f;
constexpr float kTransparentSnap = 0.00001f;

}  // namespace

float FadeAnimation::StepFor(std::uint64_t elapsedMicroseconds, std::uint64_t fadeDuration) {
  if (fadeDuration == 0) {
    return 1.0f;
  }
  const std::uint64_t elapsed = std::min(elapsedMicroseconds, kLongestStepMicroseconds);
  return static_cast<float>(static_cast<double>(elapsed) / static_cast<double>(fadeDuration));
}

void FadeAnimation::StartIn() {
  alpha_ = 0.0f;
  done_ = false;
  fadingOut_ = false;
}

void FadeAnimation::StartOut() {
  alpha_ = 1.0f;
  done_ = false;
  fadingOut_ = true;
}

FadeActions FadeAnimation::Tick(std::uint64_t elapsedMicroseconds, std::uint64_t fadeDuration,
                                bool visible, CloseCode closeCode) {
  FadeActions actions;
  const float step = StepFor(elapsedMicroseconds, fadeDuration);
  actions.show = !visible;
  if (fadingOut_) {
    if (done_) {
      if (closeCode != CloseCode::None) {
        actions.stopTimer = true;
        actions.end = closeCode;
        return actions;
      }
      actions.hide = true;
      actions.stopTimer = true;
    }
    alpha_ -= step;
    if (alpha_ <= kTransparentSnap) {
      alpha_ = 0.0f;
      done_ = true;
    }
  } else {
    actions.clearHoldHidden = !visible;
    if (done_) {
      actions.show = true;
      actions.stopTimer = true;
    }
    alpha_ += step;
    if (alpha_ >= kOpaqueSnap) {
      alpha_ = 1.0f;
      done_ = true;
    }
  }
  actions.applyAlpha = true;
  actions.alpha = static_cast<int>(alpha_ * 255.0f);
  return actions;
}
