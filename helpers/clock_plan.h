// The clock-state record as a helper reads it, and the plain words in which
// a helper logs what it would apply.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ipc/shared_block.h"

struct ClockEntry {
  bool custom = false;     // false: leave this clock alone
  bool relative = false;   // value is an offset from the stock clock
  std::int32_t value = 0;  // MHz
  bool operator==(const ClockEntry&) const = default;
};

struct ClockPlan {
  std::uint32_t blockingMethod = 0;
  std::uint32_t state = 0;
  ClockEntry coreDefault;
  ClockEntry memDefault;
  ClockEntry coreTarget;
  ClockEntry memTarget;
  std::vector<std::u16string> selectedGpus;
  std::uint32_t watchdogSeconds = 0;
  bool operator==(const ClockPlan&) const = default;
};

// Decodes the record (block::clock::kSize bytes).
ClockPlan DecodeClockPlan(const std::uint8_t* record);

// Equal in everything but the polling interval, which is logged on its own.
bool SameClocks(const ClockPlan& a, const ClockPlan& b);

// What this helper would do under the plan, then the plan itself, e.g.
// "would hold the clocks up with a compute load: blocking method 0 (reliable
// compute), state 0 (hold clocks up), core +50 MHz offset, memory default
// (user defaults: core default, memory default), GPUs: RADEON RX 7900".
std::u16string DescribeClockPlan(Helper helper, const ClockPlan& plan);

// The names joined by commas, or "none".
std::u16string DescribeGpus(const std::vector<std::u16string>& names);

// "device polling every 5 s" or "device polling off".
std::u16string DescribePolling(std::uint32_t watchdogSeconds);
