#include "helpers/clock_plan.h"

#include "base/format.h"

namespace {

ClockEntry DecodeEntry(const std::uint8_t* entry) {
  return {entry[block::clock::kEntryCustom] != 0, entry[block::clock::kEntryRelative] != 0,
          static_cast<std::int32_t>(block::ReadU32(entry, block::clock::kEntryValue))};
}

std::u16string DescribeEntry(const ClockEntry& entry) {
  if (!entry.custom) {
    return u"default";
  }
  if (!entry.relative) {
    return Format(u"%i MHz", entry.value);
  }
  return Format(entry.value < 0 ? u"%i MHz offset" : u"+%i MHz offset", entry.value);
}

std::u16string MethodName(std::uint32_t method) {
  switch (method) {
    case 0:
      return u"reliable compute";
    case 1:
      return u"alternate compute";
    case 2:
      return u"ADL";
    case 3:
      return u"combined ADL and compute";
    default:
      return u"unknown";
  }
}

std::u16string StateName(std::uint32_t state) {
  switch (state) {
    case 0:
      return u"hold clocks up";
    case 1:
      return u"force downclock";
    case 2:
      return u"no control";
    default:
      return u"unknown";
  }
}

std::u16string Action(Helper helper, const ClockPlan& plan) {
  if (helper == Helper::Compute) {
    return ComputeLoadWanted(plan) ? u"to hold the clocks up with a compute load" : u"to stay idle";
  }
  switch (AdlActionOf(plan)) {
    case AdlAction::ForceDown:
      return u"to force the clocks down";
    case AdlAction::HoldUp:
      return u"to hold the clocks up through ADL";
    case AdlAction::Leave:
      break;
  }
  return u"to leave the clocks alone";
}

}  // namespace

bool ComputeLoadWanted(const ClockPlan& plan) {
  const std::uint32_t method = plan.blockingMethod;
  return plan.state == 0 && (method == 0 || method == 1 || method == 3);
}

AdlAction AdlActionOf(const ClockPlan& plan) {
  // A forced downclock is the ADL helper's alone, whatever the method.
  if (plan.state == 1) {
    return AdlAction::ForceDown;
  }
  const std::uint32_t method = plan.blockingMethod;
  return plan.state == 0 && (method == 2 || method == 3) ? AdlAction::HoldUp : AdlAction::Leave;
}

ClockPlan DecodeClockPlan(const std::uint8_t* record) {
  ClockPlan plan;
  plan.blockingMethod = block::ReadU32(record, block::clock::kBlockingMethod);
  plan.state = block::ReadU32(record, block::clock::kState);
  plan.coreDefault = DecodeEntry(record + block::clock::kCoreDefault);
  plan.memDefault = DecodeEntry(record + block::clock::kMemDefault);
  plan.coreTarget = DecodeEntry(record + block::clock::kCoreTarget);
  plan.memTarget = DecodeEntry(record + block::clock::kMemTarget);
  plan.selectedGpus = ReadGpuTable(record + block::clock::kSelectedGpus);
  plan.watchdogSeconds = block::ReadU32(record, block::clock::kWatchdogSeconds);
  return plan;
}

bool SameClocks(const ClockPlan& a, const ClockPlan& b) {
  ClockPlan withInterval = b;
  withInterval.watchdogSeconds = a.watchdogSeconds;
  return a == withInterval;
}

std::u16string DescribeClockPlan(Helper helper, const ClockPlan& plan) {
  return Format(
      u"%s: blocking method %u (%s), state %u (%s), core %s, memory %s "
      u"(user defaults: core %s, memory %s), GPUs: %s",
      Action(helper, plan), plan.blockingMethod, MethodName(plan.blockingMethod), plan.state,
      StateName(plan.state), DescribeEntry(plan.coreTarget), DescribeEntry(plan.memTarget),
      DescribeEntry(plan.coreDefault), DescribeEntry(plan.memDefault),
      DescribeGpus(plan.selectedGpus));
}

std::u16string DescribeGpus(const std::vector<std::u16string>& names) {
  if (names.empty()) {
    return u"none";
  }
  std::u16string list;
  for (const std::u16string& name : names) {
    list += (list.empty() ? u"" : u", ") + name;
  }
  return list;
}

std::u16string DescribePolling(std::uint32_t watchdogSeconds) {
  return watchdogSeconds == 0 ? u"device polling off"
                              : Format(u"device polling every %u s", watchdogSeconds);
}
