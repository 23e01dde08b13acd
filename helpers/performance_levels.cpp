#include "helpers/performance_levels.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::vector<PerformanceLevel> Pinned(std::vector<PerformanceLevel> levels, int clockMHz) {
  std::size_t nearest = 0;
  for (std::size_t i = 1; i < levels.size(); ++i) {
    if (std::abs(levels[i].clockMHz - clockMHz) <= std::abs(levels[nearest].clockMHz - clockMHz)) {
      nearest = i;
    }
  }
  for (std::size_t i = 0; i < levels.size(); ++i) {
    levels[i].enabled = i == nearest;
  }
  if (!levels.empty()) {
    levels[nearest].clockMHz = clockMHz;
  }
  return levels;
}

}  // namespace

std::vector<PerformanceLevel> LevelsFor(std::vector<PerformanceLevel> found,
                                        const ClockRange& range) {
  if (range.min >= range.max) {
    return Pinned(std::move(found), range.max);
  }
  bool any = false;
  for (PerformanceLevel& level : found) {
    level.enabled = range.min <= level.clockMHz && level.clockMHz <= range.max;
    any = any || level.enabled;
  }
  return any ? found : Pinned(std::move(found), range.max);
}

ClockRange RangeOf(const std::vector<PerformanceLevel>& levels) {
  ClockRange range;
  bool any = false;
  for (const PerformanceLevel& level : levels) {
    if (level.enabled) {
      range.min = any ? std::min(range.min, level.clockMHz) : level.clockMHz;
      range.max = any ? std::max(range.max, level.clockMHz) : level.clockMHz;
      any = true;
    }
  }
  return range;
}
