#include "helpers/clock_targets.h"

#include <algorithm>
#include <cstdint>

#include "base/format.h"

namespace {

// The custom clock asked for, or nothing when the entry leaves it alone.
std::optional<std::int64_t> Asked(const ClockEntry& entry, int stockMax) {
  if (!entry.custom) {
    return std::nullopt;
  }
  return entry.relative ? std::int64_t{stockMax} + entry.value : std::int64_t{entry.value};
}

// The clock held for one of the two clocks, noting a clamp.
ClockRange Target(AdlAction action, const ClockEntry& entry, const ClockRange& accepted,
                  int stockMax, const char16_t* name, std::u16string& note) {
  const std::optional<std::int64_t> asked = Asked(entry, stockMax);
  int custom = 0;
  if (asked) {
    custom = static_cast<int>(std::clamp<std::int64_t>(*asked, accepted.min, accepted.max));
    if (custom != *asked) {
      note += Format(u"%s%s %i MHz asked, %i MHz is the %s this GPU accepts",
                     note.empty() ? u"" : u"; ", name, *asked, custom,
                     *asked > custom ? u"most" : u"least");
    }
  }
  if (action == AdlAction::HoldUp) {
    const int top = asked ? custom : std::clamp(stockMax, accepted.min, accepted.max);
    return {top, top};
  }
  // Forced down: the lowest level, or up to the custom clock as a ceiling.
  return {accepted.min, asked ? custom : accepted.min};
}

std::u16string DescribeRange(const ClockRange& range) {
  return range.min == range.max ? Format(u"%i MHz", range.max)
                                : Format(u"%i-%i MHz", range.min, range.max);
}

}  // namespace

ClockTargets TargetsFor(AdlAction action, const ClockEntry& core, const ClockEntry& memory,
                        const GpuClockLimits& limits) {
  ClockTargets targets;
  targets.settings.core =
      Target(action, core, limits.core, limits.coreStockMax, u"core", targets.clampNote);
  targets.settings.memory =
      Target(action, memory, limits.memory, limits.memoryStockMax, u"memory", targets.clampNote);
  return targets;
}

std::u16string DescribeSettings(const GpuClockSettings& settings) {
  // A GPU whose memory clock cannot be set reports it as {0, 0}.
  const bool memory = settings.memory != ClockRange{};
  return u"core " + DescribeRange(settings.core) +
         (memory ? u", memory " + DescribeRange(settings.memory) : u"");
}
