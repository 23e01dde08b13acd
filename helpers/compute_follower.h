// The compute helper's follower: runs the compute load while the clock
// state asks for it, with the kernel of its blocking method, stops it as
// soon as it no longer does, and logs what the load added.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "helpers/clock_follower.h"
#include "helpers/compute_figures.h"
#include "helpers/compute_kernel.h"
#include "helpers/compute_load.h"

class ComputeFollower : public ClockFollower {
 public:
  static constexpr std::uint64_t kReportIntervalMs = 60000;

  explicit ComputeFollower(ComputeLoad::EngineFactory factory) : load_(std::move(factory)) {}

  void Follow(const ClockPlan& plan, std::uint64_t nowMs, LogArea& log) override;
  void Restore(LogArea& log) override;

 private:
  // Logs what the work thread reported; true when it has ended on a failure.
  bool LogEvents(LogArea& log);
  void Stop(LogArea& log);

  ComputeLoad load_;
  std::optional<ComputeKernel> running_;  // the load's kernel while it is on
  // The last start failed: no new attempt until the plan changes.
  bool failed_ = false;
  std::optional<ClockPlan> lastPlan_;
  std::uint64_t reportedAtMs_ = 0;
  LoadFigures reported_;
};
