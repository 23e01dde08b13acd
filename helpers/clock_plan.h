// The clock-state record as a helper reads it, what it asks of each helper,
// and the plain words in which a helper logs it.
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

// Whether the compute helper is to keep the GPU busy: a hold with a compute
// method (0 reliable, 1 alternate, 3 combined).
bool ComputeLoadWanted(const ClockPlan& plan);

// What the ADL helper is to do with the clocks of the selected GPUs.
enum class AdlAction { Leave, HoldUp, ForceDown };
AdlAction AdlActionOf(const ClockPlan& plan);

// Decodes the record (block::clock::kSize bytes).
ClockPlan DecodeClockPlan(const std::uint8_t* record);

// Equal in everything but the polling interval, which is logged on its own.
bool SameClocks(const ClockPlan& a, const ClockPlan& b);

// What the plan asks of this helper, then the plan itself, e.g.
// "to hold the clocks up with a compute load: blocking method 0 (reliable
// compute), state 0 (hold clocks up), core +50 MHz offset, memory default
// (user defaults: core default, memory default), GPUs: RADEON RX 7900".
std::u16string DescribeClockPlan(Helper helper, const ClockPlan& plan);

// The names joined by commas, or "none".
std::u16string DescribeGpus(const std::vector<std::u16string>& names);

// "device polling every 5 s" or "device polling off".
std::u16string DescribePolling(std::uint32_t watchdogSeconds);
