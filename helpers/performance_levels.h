// GPUs that offer a list of performance levels (clock and enabled flag)
// instead of a minimum and a maximum: the levels that give a clock range,
// and the range a list of levels gives.
#pragma once

#include <vector>

#include "helpers/gpu_device.h"

struct PerformanceLevel {
  int clockMHz = 0;
  bool enabled = false;
  bool operator==(const PerformanceLevel&) const = default;
};

// The levels to set for a range, starting from the levels found. A range of
// one clock pins the level nearest to it (the higher one on a tie) to that
// clock and disables the others; a wider range enables the levels inside it,
// or pins the nearest to its top when none lies inside.
std::vector<PerformanceLevel> LevelsFor(std::vector<PerformanceLevel> found,
                                        const ClockRange& range);

// The lowest and the highest enabled clock; {0, 0} when none is enabled.
ClockRange RangeOf(const std::vector<PerformanceLevel>& levels);
