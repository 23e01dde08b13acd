#include "toolkit/fade_duration.h"

std::uint64_t FadeDuration = kNormalFadeDuration;

void ApplyFadeSpeed(std::uint32_t windowFadeSpeed) {
  if (windowFadeSpeed == 0) {
    FadeDuration = kNormalFadeDuration;
  } else if (windowFadeSpeed == 1) {
    FadeDuration = kFastFadeDuration;
  }
}
