// How long dialogs take to fade in or out, in microseconds. Written and read
// by the user-interface thread only.
#pragma once

#include <cstdint>

inline constexpr std::uint64_t kNormalFadeDuration = 200000;
inline constexpr std::uint64_t kFastFadeDuration = 50000;

extern std::uint64_t FadeDuration;

// Sets FadeDuration for a fade speed setting: 0 normal, 1 fast; any other
// value leaves it unchanged.
void ApplyFadeSpeed(std::uint32_t windowFadeSpeed);
