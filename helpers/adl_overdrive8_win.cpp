#include "helpers/adl_overdrive8_win.h"

#include "helpers/adl_refusal.h"

std::unique_ptr<GpuDevice> Overdrive8Device::Open(const AdlApi& api, int adapter,
                                                  std::u16string name, std::u16string& why) {
  if (!api.od8InitSetting || !api.od8CurrentSetting || !api.od8SettingSet) {
    why = u"the library lacks the Overdrive 8 functions";
    return nullptr;
  }
  int capabilities = 0;
  int count = 0;
  adl::Od8SingleInitSetting* list = nullptr;
  const int code = api.od8InitSetting(api.context, adapter, &capabilities, &count, &list);
  std::vector<adl::Od8SingleInitSetting> init;
  if (AdlSucceeded(code) && list && count > 0) {
    init.assign(list, list + count);
  }
  FreeAdlList(list);
  if (!AdlSucceeded(code)) {
    why = AdlRefusal(u"ADL2_Overdrive8_Init_SettingX2_Get", code);
    return nullptr;
  }
  if (!(capabilities & adl::kOd8GfxClockLimits) ||
      static_cast<int>(init.size()) <= adl::kOd8GfxClockMin) {
    why = u"its Overdrive 8 offers no core clock limits";
    return nullptr;
  }
  const bool memoryControl = (capabilities & adl::kOd8MemoryClockLimit) &&
                             static_cast<int>(init.size()) > adl::kOd8MemoryClockMax;
  return std::unique_ptr<GpuDevice>(
      new Overdrive8Device(api, adapter, std::move(name), std::move(init), memoryControl));
}

Overdrive8Device::Overdrive8Device(const AdlApi& api, int adapter, std::u16string name,
                                   std::vector<adl::Od8SingleInitSetting> init, bool memoryControl)
    : api_(api),
      adapter_(adapter),
      name_(std::move(name)),
      init_(std::move(init)),
      memoryControl_(memoryControl) {
  const adl::Od8SingleInitSetting& coreMax = init_[adl::kOd8GfxClockMax];
  const adl::Od8SingleInitSetting& coreMin = init_[adl::kOd8GfxClockMin];
  limits_.core = {coreMin.minValue, coreMax.maxValue};
  limits_.coreStockMax = coreMax.defaultValue;
  if (memoryControl_) {
    const adl::Od8SingleInitSetting& memoryMax = init_[adl::kOd8MemoryClockMax];
    limits_.memory = {memoryMax.minValue, memoryMax.maxValue};
    limits_.memoryStockMax = memoryMax.defaultValue;
  }
}

// The features the helper changes.
std::vector<int> Overdrive8Device::Features() const {
  std::vector<int> features = {adl::kOd8GfxClockMax, adl::kOd8GfxClockMin};
  if (memoryControl_) {
    features.push_back(adl::kOd8MemoryClockMax);
  }
  return features;
}

GpuRefusal Overdrive8Device::Current(std::vector<int>& values) const {
  int count = 0;
  int* list = nullptr;
  const int code = api_.od8CurrentSetting(api_.context, adapter_, &count, &list);
  values.clear();
  if (AdlSucceeded(code) && list && count > 0) {
    values.assign(list, list + count);
  }
  FreeAdlList(list);
  if (!AdlSucceeded(code)) {
    return AdlRefusal(u"ADL2_Overdrive8_Current_SettingX2_Get", code);
  }
  for (int feature : Features()) {
    if (feature >= static_cast<int>(values.size())) {
      return u"ADL2_Overdrive8_Current_SettingX2_Get returned too few settings";
    }
  }
  return std::nullopt;
}

GpuRefusal Overdrive8Device::Set(const std::vector<Request>& requests) const {
  // Both structures end in one entry per feature the GPU has.
  const std::size_t count = init_.size();
  std::vector<int> setBuffer(1 + 3 * count, 0);
  std::vector<int> currentBuffer(1 + count, 0);
  auto* set = reinterpret_cast<adl::Od8SetSetting*>(setBuffer.data());
  auto* current = reinterpret_cast<adl::Od8CurrentSetting*>(currentBuffer.data());
  set->count = static_cast<int>(count);
  current->count = static_cast<int>(count);
  for (const Request& request : requests) {
    adl::Od8SingleSetSetting& entry = set->settings[request.feature];
    entry.value = request.value;
    entry.requested = 1;
    entry.reset = request.reset ? 1 : 0;
  }
  const int code = api_.od8SettingSet(api_.context, adapter_, set, current);
  return AdlSucceeded(code) ? std::nullopt
                            : GpuRefusal(AdlRefusal(u"ADL2_Overdrive8_Setting_Set", code));
}

GpuRefusal Overdrive8Device::Read(GpuClockSettings& settings) {
  std::vector<int> values;
  if (GpuRefusal refusal = Current(values)) {
    return refusal;
  }
  settings.core = {values[adl::kOd8GfxClockMin], values[adl::kOd8GfxClockMax]};
  settings.memory = {};
  if (memoryControl_) {
    const int memoryMax = values[adl::kOd8MemoryClockMax];
    settings.memory = {memoryMax, memoryMax};
  }
  return std::nullopt;
}

GpuRefusal Overdrive8Device::Capture() {
  std::vector<int> values;
  if (GpuRefusal refusal = Current(values)) {
    return refusal;
  }
  captured_ = std::move(values);
  return std::nullopt;
}

GpuRefusal Overdrive8Device::Apply(const GpuClockSettings& settings) {
  std::vector<Request> requests = {{adl::kOd8GfxClockMax, settings.core.max, false},
                                   {adl::kOd8GfxClockMin, settings.core.min, false}};
  if (memoryControl_) {
    requests.push_back({adl::kOd8MemoryClockMax, settings.memory.max, false});
  }
  return Set(requests);
}

GpuRefusal Overdrive8Device::Restore() {
  if (captured_.empty()) {
    return std::nullopt;
  }
  // A value found at its default goes back to the driver's control.
  std::vector<Request> requests;
  for (int feature : Features()) {
    const int found = captured_[static_cast<std::size_t>(feature)];
    const int stock = init_[static_cast<std::size_t>(feature)].defaultValue;
    requests.push_back({feature, found, found == stock});
  }
  if (GpuRefusal refusal = Set(requests)) {
    return refusal;
  }
  captured_.clear();
  return std::nullopt;
}
