// The ADL helper's follower: sets the clocks of the selected GPUs for each
// clock-state record, checks them again on the polling interval, and puts
// back what it found when control ends or the helper stops.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "helpers/clock_follower.h"
#include "helpers/gpu_device.h"
#include "helpers/helper_host.h"

class ClockKeeper : public ClockFollower {
 public:
  explicit ClockKeeper(DisplayLibrary& library) : library_(library) {}

  void Follow(const ClockPlan& plan, std::uint64_t nowMs, LogArea& log) override;
  void Restore(LogArea& log) override;

 private:
  struct Held {
    bool captured = false;        // Capture done; Restore owed
    bool restoreRefused = false;  // a Restore was refused; tried again on the interval
    std::optional<GpuClockSettings> attempted;  // the last settings asked for
    std::optional<GpuClockSettings> applied;    // as read back after they were set
  };

  void Hold(GpuDevice& device, AdlAction action, const ClockEntry& core, const ClockEntry& memory,
            bool intervalDue, LogArea& log);
  void Verify(GpuDevice& device, LogArea& log);
  void Release(GpuDevice& device, LogArea& log);

  DisplayLibrary& library_;
  std::map<GpuDevice*, Held> held_;
  std::optional<std::uint64_t> lastCheckMs_;
  std::optional<ClockPlan> lastPlan_;
};
