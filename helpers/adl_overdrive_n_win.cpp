#include "helpers/adl_overdrive_n_win.h"

#include <algorithm>

#include "helpers/adl_refusal.h"
#include "helpers/performance_levels.h"

namespace {

constexpr int kUnitsPerMHz = 100;
constexpr int kMostLevels = 64;

std::vector<PerformanceLevel> InMHz(const std::vector<adl::OdnPerformanceLevel>& levels) {
  std::vector<PerformanceLevel> result;
  for (const adl::OdnPerformanceLevel& level : levels) {
    result.push_back({level.clock / kUnitsPerMHz, level.enabled != 0});
  }
  return result;
}

// A performance-levels structure with room for `count` levels, its size and
// mode filled in: the structure ends in as many levels as it carries.
std::vector<int> LevelsBuffer(std::size_t count, int mode) {
  const std::size_t bytes =
      sizeof(adl::OdnPerformanceLevels) +
      sizeof(adl::OdnPerformanceLevel) * (std::max<std::size_t>(count, 1) - 1);
  std::vector<int> buffer(bytes / sizeof(int), 0);
  auto* header = reinterpret_cast<adl::OdnPerformanceLevels*>(buffer.data());
  header->size = static_cast<int>(bytes);
  header->mode = mode;
  header->numberOfPerformanceLevels = static_cast<int>(count);
  return buffer;
}

bool SameLevels(const std::vector<adl::OdnPerformanceLevel>& a,
                const std::vector<adl::OdnPerformanceLevel>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const adl::OdnPerformanceLevel& x, const adl::OdnPerformanceLevel& y) {
                      return x.clock == y.clock && x.enabled == y.enabled;
                    });
}

}  // namespace

std::unique_ptr<GpuDevice> OverdriveNDevice::Open(const AdlApi& api, int adapter,
                                                  std::u16string name, std::u16string& why) {
  if (!api.odnCapabilities || !api.odnSystemClocksGet || !api.odnSystemClocksSet ||
      !api.odnMemoryClocksGet || !api.odnMemoryClocksSet) {
    why = u"the library lacks the Overdrive N functions";
    return nullptr;
  }
  adl::OdnCapabilities caps{};
  const int code = api.odnCapabilities(api.context, adapter, &caps);
  if (!AdlSucceeded(code)) {
    why = AdlRefusal(u"ADL2_OverdriveN_Capabilities_Get", code);
    return nullptr;
  }
  if (caps.maximumNumberOfPerformanceLevels < 1) {
    why = u"it reports no performance levels";
    return nullptr;
  }
  std::unique_ptr<OverdriveNDevice> device(new OverdriveNDevice(
      api, adapter, std::move(name), std::min(caps.maximumNumberOfPerformanceLevels, kMostLevels)));
  for (Clock* clock : {&device->core_, &device->memory_}) {
    if (GpuRefusal refusal = device->Get(*clock, adl::kOdnDefault, clock->defaults)) {
      why = *refusal;
      return nullptr;
    }
  }
  auto stockMax = [](const Levels& defaults, const adl::OdnParameterRange& range) {
    int top = 0;
    for (const adl::OdnPerformanceLevel& level : defaults.levels) {
      top = std::max(top, level.clock);
    }
    return (top > 0 ? top : range.defaultValue) / kUnitsPerMHz;
  };
  device->limits_ = {
      {caps.engineClockRange.min / kUnitsPerMHz, caps.engineClockRange.max / kUnitsPerMHz},
      {caps.memoryClockRange.min / kUnitsPerMHz, caps.memoryClockRange.max / kUnitsPerMHz},
      stockMax(device->core_.defaults, caps.engineClockRange),
      stockMax(device->memory_.defaults, caps.memoryClockRange)};
  return device;
}

OverdriveNDevice::OverdriveNDevice(const AdlApi& api, int adapter, std::u16string name,
                                   int levelCount)
    : api_(api), adapter_(adapter), name_(std::move(name)), levelCount_(levelCount) {
  core_.get = api.odnSystemClocksGet;
  core_.set = api.odnSystemClocksSet;
  core_.getName = u"ADL2_OverdriveN_SystemClocks_Get";
  core_.setName = u"ADL2_OverdriveN_SystemClocks_Set";
  memory_.get = api.odnMemoryClocksGet;
  memory_.set = api.odnMemoryClocksSet;
  memory_.getName = u"ADL2_OverdriveN_MemoryClocks_Get";
  memory_.setName = u"ADL2_OverdriveN_MemoryClocks_Set";
}

GpuRefusal OverdriveNDevice::Get(const Clock& clock, int mode, Levels& levels) const {
  std::vector<int> buffer = LevelsBuffer(static_cast<std::size_t>(levelCount_), mode);
  auto* header = reinterpret_cast<adl::OdnPerformanceLevels*>(buffer.data());
  const int code = clock.get(api_.context, adapter_, header);
  if (!AdlSucceeded(code)) {
    return AdlRefusal(clock.getName, code);
  }
  const int count = std::clamp(header->numberOfPerformanceLevels, 0, levelCount_);
  levels.mode = header->mode;
  levels.levels.assign(header->levels, header->levels + count);
  return std::nullopt;
}

GpuRefusal OverdriveNDevice::Set(const Clock& clock, int mode,
                                 const std::vector<adl::OdnPerformanceLevel>& levels) const {
  std::vector<int> buffer = LevelsBuffer(levels.size(), mode);
  auto* header = reinterpret_cast<adl::OdnPerformanceLevels*>(buffer.data());
  std::copy(levels.begin(), levels.end(), header->levels);
  const int code = clock.set(api_.context, adapter_, header);
  return AdlSucceeded(code) ? std::nullopt : GpuRefusal(AdlRefusal(clock.setName, code));
}

GpuRefusal OverdriveNDevice::Read(GpuClockSettings& settings) {
  Levels core;
  Levels memory;
  if (GpuRefusal refusal = Get(core_, adl::kOdnCurrent, core)) {
    return refusal;
  }
  if (GpuRefusal refusal = Get(memory_, adl::kOdnCurrent, memory)) {
    return refusal;
  }
  settings = {RangeOf(InMHz(core.levels)), RangeOf(InMHz(memory.levels))};
  return std::nullopt;
}

GpuRefusal OverdriveNDevice::Capture() {
  for (Clock* clock : {&core_, &memory_}) {
    Levels found;
    if (GpuRefusal refusal = Get(*clock, adl::kOdnCurrent, found)) {
      return refusal;
    }
    clock->captured = std::move(found);
  }
  return std::nullopt;
}

GpuRefusal OverdriveNDevice::ApplyTo(Clock& clock, const ClockRange& range) const {
  const std::vector<adl::OdnPerformanceLevel>& base =
      clock.captured ? clock.captured->levels : clock.defaults.levels;
  const std::vector<PerformanceLevel> wanted = LevelsFor(InMHz(base), range);
  std::vector<adl::OdnPerformanceLevel> levels = base;
  for (std::size_t i = 0; i < levels.size(); ++i) {
    // A level whose clock stays keeps its exact value (finer than 1 MHz).
    if (wanted[i].clockMHz != levels[i].clock / kUnitsPerMHz) {
      levels[i].clock = wanted[i].clockMHz * kUnitsPerMHz;
    }
    levels[i].enabled = wanted[i].enabled ? 1 : 0;
  }
  return Set(clock, adl::kOdnManual, levels);
}

GpuRefusal OverdriveNDevice::Apply(const GpuClockSettings& settings) {
  if (GpuRefusal refusal = ApplyTo(core_, settings.core)) {
    return refusal;
  }
  return ApplyTo(memory_, settings.memory);
}

GpuRefusal OverdriveNDevice::RestoreTo(Clock& clock) const {
  if (!clock.captured) {
    return std::nullopt;
  }
  // Found under the driver's own control: hand it back; else the user's
  // manual levels as they were.
  if (clock.captured->mode != adl::kOdnManual ||
      SameLevels(clock.captured->levels, clock.defaults.levels)) {
    return Set(clock, adl::kOdnDefault, clock.defaults.levels);
  }
  return Set(clock, adl::kOdnManual, clock.captured->levels);
}

GpuRefusal OverdriveNDevice::Restore() {
  GpuRefusal core = RestoreTo(core_);
  GpuRefusal memory = RestoreTo(memory_);
  if (!core && !memory) {
    core_.captured.reset();
    memory_.captured.reset();
    return std::nullopt;
  }
  return core ? core : memory;
}
