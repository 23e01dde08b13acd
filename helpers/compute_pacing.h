// How big the load's dispatches are and how long it pauses between them.
// Adaptive pacing sizes each dispatch for a small GPU time and spaces the
// dispatches for a small share of the GPU, from what the last dispatches
// measured; fixed pacing keeps one size and one pause.
#pragma once

#include <cstdint>
#include <optional>

#include "helpers/compute_kernel.h"

struct PacingLimits {
  double targetBusy = 0.02;        // share of the GPU's time aimed at
  double targetDispatchMs = 0.25;  // GPU time aimed at per dispatch
  double minPauseMs = 2;
  double maxPauseMs = 20;
  std::uint32_t maxGroups = 1024;
};

class ComputePacing {
 public:
  // Adaptive, starting with one thread group and the longest pause.
  explicit ComputePacing(const PacingLimits& limits);
  // Fixed: these groups after each pause, whatever is measured.
  static ComputePacing Fixed(std::uint32_t groups, double pauseMs);

  std::uint32_t Groups() const { return groups_; }
  double PauseMs() const { return pauseMs_; }

  // After each dispatch: its GPU time (none when it could not be timed) and
  // the wall time from the submission before it (none for the first).
  void Measured(std::optional<double> gpuMs, std::optional<double> periodMs);

 private:
  ComputePacing(std::uint32_t groups, double pauseMs);

  bool adaptive_ = true;
  PacingLimits limits_;
  std::uint32_t groups_ = 1;
  double pauseMs_ = 0;
  std::optional<double> msPerGroup_;  // GPU time of one group, smoothed
  double lateMs_ = 0;                 // how much longer than the pause a period lasts, smoothed
};

// The alternate kernel's cadence: one group every 10 ms.
inline constexpr double kAlternatePauseMs = 10;

// Adaptive pacing with the default limits for the reliable kernel, fixed
// pacing for the alternate one.
ComputePacing PacingFor(ComputeKernel kernel);
