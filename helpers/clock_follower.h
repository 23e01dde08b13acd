// What a helper does about the clock-state record: the compute helper runs
// or stops its load, the ADL helper sets or restores the GPUs' clocks.
#pragma once

#include <cstdint>

#include "helpers/clock_plan.h"
#include "helpers/log_area.h"

class ClockFollower {
 public:
  virtual ~ClockFollower() = default;
  // Called on every pass with the newest plan read and a steady clock in
  // milliseconds; logs what it does.
  virtual void Follow(const ClockPlan& plan, std::uint64_t nowMs, LogArea& log) = 0;
  // Called once on the way out: leaves the GPU as the helper found it.
  virtual void Restore(LogArea& log) = 0;
};
