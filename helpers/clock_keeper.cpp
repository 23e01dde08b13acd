#include "helpers/clock_keeper.h"

#include <algorithm>

#include "base/text.h"
#include "helpers/clock_targets.h"

namespace {

bool IsSelected(const GpuDevice& device, const std::vector<std::u16string>& selected) {
  return std::any_of(selected.begin(), selected.end(),
                     [&](const std::u16string& name) { return EqualsNoCase(name, device.Name()); });
}

std::u16string Prefix(const GpuDevice& device) {
  return device.Name() + u": ";
}

}  // namespace

void ClockKeeper::Follow(const ClockPlan& plan, std::uint64_t nowMs, LogArea& log) {
  const AdlAction action = AdlActionOf(plan);
  const std::vector<GpuDevice*> devices = library_.Devices();
  const bool planChanged = !lastPlan_ || !SameClocks(*lastPlan_, plan);
  lastPlan_ = plan;

  bool intervalDue = false;
  if (plan.watchdogSeconds == 0) {
    lastCheckMs_.reset();
  } else if (!lastCheckMs_) {
    lastCheckMs_ = nowMs;
  } else if (nowMs - *lastCheckMs_ >= std::uint64_t{plan.watchdogSeconds} * 1000) {
    lastCheckMs_ = nowMs;
    intervalDue = true;
  }

  // GPUs no longer controlled are restored before others are set.
  std::vector<GpuDevice*> controlled;
  for (GpuDevice* device : devices) {
    if (action != AdlAction::Leave && IsSelected(*device, plan.selectedGpus)) {
      controlled.push_back(device);
      continue;
    }
    const Held& held = held_[device];
    if (held.captured && (!held.restoreRefused || intervalDue)) {
      Release(*device, log);
    }
  }
  for (GpuDevice* device : controlled) {
    Hold(*device, action, plan.coreTarget, plan.memTarget, intervalDue, log);
  }
  const bool anySelected = !controlled.empty();
  if (planChanged && action != AdlAction::Leave && !anySelected) {
    log.Add(devices.empty() ? u"no GPU can be controlled: the clocks are left alone"
                            : u"none of the GPUs found is selected for clock control: the "
                              u"clocks are left alone");
  }
}

void ClockKeeper::Restore(LogArea& log) {
  for (GpuDevice* device : library_.Devices()) {
    if (held_[device].captured) {
      Release(*device, log);
    }
  }
}

void ClockKeeper::Hold(GpuDevice& device, AdlAction action, const ClockEntry& core,
                       const ClockEntry& memory, bool intervalDue, LogArea& log) {
  Held& held = held_[&device];
  const ClockTargets targets = TargetsFor(action, core, memory, device.Limits());
  if (held.attempted == targets.settings) {
    // Asked before: check it on the interval, or try again after a refusal.
    if (!intervalDue) {
      return;
    }
    if (held.applied) {
      Verify(device, log);
      return;
    }
  }
  held.attempted = targets.settings;
  held.applied.reset();
  if (!held.captured) {
    if (GpuRefusal refusal = device.Capture()) {
      log.Add(Prefix(device) + u"cannot read its clocks, so they are left alone: " + *refusal);
      return;
    }
    held.captured = true;
    held.restoreRefused = false;
    GpuClockSettings found;
    if (!device.Read(found)) {
      log.Add(Prefix(device) + u"clocks found: " + DescribeSettings(found));
    }
  }
  const std::u16string goal = action == AdlAction::HoldUp ? u"holding the highest clocks: "
                                                          : u"forcing the lowest clocks: ";
  if (GpuRefusal refusal = device.Apply(targets.settings)) {
    log.Add(Prefix(device) + u"could not set " + DescribeSettings(targets.settings) + u": " +
            *refusal);
    return;
  }
  GpuClockSettings now;
  if (GpuRefusal refusal = device.Read(now)) {
    log.Add(Prefix(device) + u"set, but cannot read them back: " + *refusal);
    now = targets.settings;
  }
  held.applied = now;
  log.Add(Prefix(device) + goal + DescribeSettings(now) +
          (targets.clampNote.empty() ? u"" : u" (" + targets.clampNote + u")"));
}

void ClockKeeper::Verify(GpuDevice& device, LogArea& log) {
  Held& held = held_[&device];
  GpuClockSettings now;
  if (GpuRefusal refusal = device.Read(now)) {
    log.Add(Prefix(device) + u"cannot check its clocks: " + *refusal);
    return;
  }
  if (now == *held.applied) {
    return;
  }
  log.Add(Prefix(device) + u"its clocks were changed to " + DescribeSettings(now) +
          u" by someone else; setting " + DescribeSettings(*held.attempted) + u" again");
  if (GpuRefusal refusal = device.Apply(*held.attempted)) {
    log.Add(Prefix(device) + u"could not set " + DescribeSettings(*held.attempted) + u": " +
            *refusal);
    held.applied.reset();
    return;
  }
  if (device.Read(now)) {
    now = *held.attempted;
  }
  held.applied = now;
}

void ClockKeeper::Release(GpuDevice& device, LogArea& log) {
  Held& held = held_[&device];
  if (GpuRefusal refusal = device.Restore()) {
    log.Add(Prefix(device) + u"could not restore the clocks it had before: " + *refusal);
    held.restoreRefused = true;
    return;
  }
  GpuClockSettings now;
  log.Add(Prefix(device) + u"restored the clocks it had before" +
          (device.Read(now) ? u"" : u": " + DescribeSettings(now)));
  held = Held{};
}
