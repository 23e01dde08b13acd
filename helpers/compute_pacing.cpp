#include "helpers/compute_pacing.h"

#include <algorithm>
#include <cmath>

namespace {

// Weight of a new sample in the smoothed figures.
constexpr double kSmoothing = 0.2;

}  // namespace

ComputePacing::ComputePacing(const PacingLimits& limits)
    : limits_(limits), groups_(1), pauseMs_(limits.maxPauseMs) {}

ComputePacing::ComputePacing(std::uint32_t groups, double pauseMs)
    : adaptive_(false), groups_(groups), pauseMs_(pauseMs) {}

ComputePacing ComputePacing::Fixed(std::uint32_t groups, double pauseMs) {
  return ComputePacing(groups, pauseMs);
}

void ComputePacing::Measured(std::optional<double> gpuMs, std::optional<double> periodMs) {
  if (!adaptive_) {
    return;
  }
  if (periodMs) {
    // Timer granularity and the wait for the results make each period
    // longer than the pause asked for; the pause makes up for it.
    const double late = std::max(0.0, *periodMs - pauseMs_);
    lateMs_ += kSmoothing * (late - lateMs_);
  }
  if (gpuMs && *gpuMs >= 0) {
    const double perGroup = *gpuMs / groups_;
    // A slower dispatch counts at once (a game may need the GPU), a faster
    // one only bit by bit.
    if (!msPerGroup_ || perGroup > *msPerGroup_) {
      msPerGroup_ = perGroup;
    } else {
      *msPerGroup_ += kSmoothing * (perGroup - *msPerGroup_);
    }
    const double fit = *msPerGroup_ > 0 ? limits_.targetDispatchMs / *msPerGroup_
                                        : static_cast<double>(limits_.maxGroups);
    // Grows by doubling at most; shrinks at once.
    const double wanted = std::min(fit, 2.0 * groups_);
    groups_ = static_cast<std::uint32_t>(
        std::clamp(std::round(wanted), 1.0, static_cast<double>(limits_.maxGroups)));
  }
  if (msPerGroup_) {
    const double dispatchMs = *msPerGroup_ * groups_;
    // The dispatch runs during the pause: a period is the pause and the
    // lateness.
    const double period = dispatchMs / limits_.targetBusy;
    pauseMs_ = std::clamp(period - lateMs_, limits_.minPauseMs, limits_.maxPauseMs);
  }
}

ComputePacing PacingFor(ComputeKernel kernel) {
  return kernel == ComputeKernel::Reliable ? ComputePacing(PacingLimits{})
                                           : ComputePacing::Fixed(1, kAlternatePauseMs);
}
