// The clocks the ADL helper sets on a GPU for a clock-state record: the
// highest level to hold the clocks up, the lowest to force them down, and
// the user's custom clocks (an offset from the stock maximum or an absolute
// value) clamped to what the GPU accepts.
#pragma once

#include <string>

#include "helpers/clock_plan.h"
#include "helpers/gpu_device.h"

struct ClockTargets {
  GpuClockSettings settings;
  // "core 2700 MHz asked, 2600 MHz is the most this GPU accepts" for each
  // custom clock that had to be clamped; empty otherwise.
  std::u16string clampNote;
};

// For HoldUp and ForceDown (Leave sets nothing).
ClockTargets TargetsFor(AdlAction action, const ClockEntry& core, const ClockEntry& memory,
                        const GpuClockLimits& limits);

// "core 1366 MHz, memory 2000 MHz", or with ranges "core 300-1100 MHz"; a
// memory clock of {0, 0} (one the GPU does not let us set) is left out.
std::u16string DescribeSettings(const GpuClockSettings& settings);
