#include "helpers/compute_follower.h"

#include "base/format.h"
#include "helpers/compute_pacing.h"

namespace {

constexpr char16_t kRetryNote[] = u"; it is tried again when the clock state changes";

std::u16string DescribeKernel(ComputeKernel kernel) {
  if (kernel == ComputeKernel::Reliable) {
    const PacingLimits limits;
    return Format(
        u"reliable kernel (%u rounds per thread, paced for about %.0f %% GPU busy with about "
        u"%.2f ms GPU time per dispatch)",
        KernelRounds(kernel), limits.targetBusy * 100, limits.targetDispatchMs);
  }
  return Format(u"alternate kernel (%u rounds per thread, one thread group every %.0f ms)",
                KernelRounds(kernel), kAlternatePauseMs);
}

}  // namespace

void ComputeFollower::Follow(const ClockPlan& plan, std::uint64_t nowMs, LogArea& log) {
  if (LogEvents(log)) {
    load_.Stop();
    running_.reset();
    failed_ = true;
  }
  if (!lastPlan_ || !SameClocks(*lastPlan_, plan)) {
    failed_ = false;
  }
  lastPlan_ = plan;

  if (!ComputeLoadWanted(plan)) {
    if (running_) {
      Stop(log);
    }
    return;
  }
  const ComputeKernel kernel = KernelForMethod(plan.blockingMethod);
  if (running_ && *running_ != kernel) {
    load_.Switch(kernel);
    running_ = kernel;
    log.Add(u"compute load switched to the " + DescribeKernel(kernel));
  } else if (!running_ && !failed_) {
    log.Add(u"starting the compute load with the " + DescribeKernel(kernel));
    load_.Start(kernel);
    running_ = kernel;
    reportedAtMs_ = nowMs;
    reported_ = {};
  }
  if (running_ && nowMs - reportedAtMs_ >= kReportIntervalMs) {
    const LoadFigures figures = load_.Figures();
    log.Add(u"compute load in the last minute: " + DescribeLoad(figures.Since(reported_)));
    reported_ = figures;
    reportedAtMs_ = nowMs;
  }
}

void ComputeFollower::Restore(LogArea& log) {
  if (running_) {
    Stop(log);
  }
}

bool ComputeFollower::LogEvents(LogArea& log) {
  bool ended = false;
  for (const LoadEvent& event : load_.TakeEvents()) {
    switch (event.kind) {
      case LoadEvent::Kind::Running:
        log.Add(u"compute load running on " + event.text);
        break;
      case LoadEvent::Kind::CouldNotStart:
        log.Add(u"compute load could not start: " + event.text + kRetryNote);
        ended = true;
        break;
      case LoadEvent::Kind::Failed:
        log.Add(u"compute load failed and stopped after " + DescribeLoad(load_.Figures()) + u": " +
                event.text + kRetryNote);
        ended = true;
        break;
      case LoadEvent::Kind::Note:
        log.Add(u"compute load: " + event.text);
        break;
    }
  }
  return ended;
}

void ComputeFollower::Stop(LogArea& log) {
  load_.Stop();
  running_.reset();
  // Whatever the thread reported on its way out comes first.
  if (!LogEvents(log)) {
    log.Add(u"compute load stopped: " + DescribeLoad(load_.Figures()));
  }
}
