#include "helpers/adl_library_win.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

#include "base/format.h"
#include "base/text.h"
#include "base/wide_win.h"
#include "helpers/adl_overdrive8_win.h"
#include "helpers/adl_overdrive_n_win.h"
#include "helpers/adl_refusal.h"

namespace {

template <typename Function>
bool Resolve(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return function != nullptr;
}

std::u16string Text(const char* ansi, std::size_t capacity) {
  return TrimBlanks(AnsiToUtf16(std::string_view(ansi, strnlen(ansi, capacity))));
}

}  // namespace

void* __stdcall AllocateForAdl(int bytes) {
  return bytes > 0 ? std::calloc(1, static_cast<std::size_t>(bytes)) : nullptr;
}

void FreeAdlList(void* list) {
  std::free(list);
}

AdlLibrary::~AdlLibrary() {
  devices_.clear();
  if (api_.context && api_.destroy) {
    api_.destroy(api_.context);
  }
  if (module_) {
    FreeLibrary(module_);
  }
}

std::optional<std::vector<std::u16string>> AdlLibrary::ListGpus() {
  if (!module_) {
    // Only the system folder: the driver installs the library there, and a
    // copy beside the helper must not be picked up instead.
    module_ = LoadLibraryExW(L"atiadlxx.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module_) {
      return std::nullopt;
    }
    if (Start()) {
      FindDevices();
    }
  }
  std::vector<std::u16string> names;
  for (const auto& device : devices_) {
    names.push_back(device->Name());
  }
  return names;
}

std::vector<GpuDevice*> AdlLibrary::Devices() {
  std::vector<GpuDevice*> devices;
  for (const auto& device : devices_) {
    devices.push_back(device.get());
  }
  return devices;
}

std::vector<std::u16string> AdlLibrary::Notes() {
  return std::exchange(notes_, {});
}

bool AdlLibrary::Start() {
  adl::MainControlCreate create = nullptr;
  if (!Resolve(module_, adl::kMainControlCreate, create) ||
      !Resolve(module_, adl::kMainControlDestroy, api_.destroy) ||
      !Resolve(module_, adl::kAdapterCountGet, api_.adapterCount) ||
      !Resolve(module_, adl::kAdapterInfoGet, api_.adapterInfo) ||
      !Resolve(module_, adl::kOverdriveCaps, api_.overdriveCaps)) {
    notes_.push_back(
        u"AMD Display Library (atiadlxx.dll) lacks the functions to list the GPUs; it is too old "
        u"or damaged: no GPUs to control");
    return false;
  }
  // Overdrive N and 8 are optional: a driver without them controls neither.
  Resolve(module_, adl::kOdnCapabilitiesGet, api_.odnCapabilities);
  Resolve(module_, adl::kOdnSystemClocksGet, api_.odnSystemClocksGet);
  Resolve(module_, adl::kOdnSystemClocksSet, api_.odnSystemClocksSet);
  Resolve(module_, adl::kOdnMemoryClocksGet, api_.odnMemoryClocksGet);
  Resolve(module_, adl::kOdnMemoryClocksSet, api_.odnMemoryClocksSet);
  Resolve(module_, adl::kOd8InitSettingGet, api_.od8InitSetting);
  Resolve(module_, adl::kOd8CurrentSettingGet, api_.od8CurrentSetting);
  Resolve(module_, adl::kOd8SettingSet, api_.od8SettingSet);

  const int code = create(AllocateForAdl, 1, &api_.context);
  if (!AdlSucceeded(code)) {
    api_.context = nullptr;
    notes_.push_back(u"AMD Display Library would not start: " +
                     AdlRefusal(u"ADL2_Main_Control_Create", code) + u"; no GPUs to control");
    return false;
  }
  return true;
}

void AdlLibrary::FindDevices() {
  int count = 0;
  int code = api_.adapterCount(api_.context, &count);
  if (!AdlSucceeded(code) || count <= 0) {
    notes_.push_back(AdlSucceeded(code) ? std::u16string(u"AMD Display Library reports no adapters")
                                        : AdlRefusal(u"ADL2_Adapter_NumberOfAdapters_Get", code));
    return;
  }
  std::vector<adl::AdapterInfo> infos(static_cast<std::size_t>(count));
  for (adl::AdapterInfo& info : infos) {
    info.size = sizeof info;
  }
  code = api_.adapterInfo(api_.context, infos.data(),
                          static_cast<int>(infos.size() * sizeof(adl::AdapterInfo)));
  if (!AdlSucceeded(code)) {
    notes_.push_back(AdlRefusal(u"ADL2_Adapter_AdapterInfo_Get", code));
    return;
  }

  // Each display output of a GPU is an adapter of its own: one per bus.
  std::map<int, bool> seenBuses;
  std::map<std::u16string, int> nameUses;
  for (const adl::AdapterInfo& info : infos) {
    if (info.vendorId != adl::kAmdVendorId || seenBuses[info.busNumber]) {
      continue;
    }
    seenBuses[info.busNumber] = true;
    std::u16string name = Text(info.adapterName, sizeof info.adapterName);
    if (name.empty()) {
      name = u"AMD GPU";
    }
    // Two GPUs of one model keep apart in the picker.
    if (++nameUses[ToUpperAscii(name)] > 1) {
      name += Format(u" (bus %i)", info.busNumber);
    }

    int supported = 0;
    int enabled = 0;
    int version = 0;
    code = api_.overdriveCaps(api_.context, info.adapterIndex, &supported, &enabled, &version);
    if (!AdlSucceeded(code) || !supported) {
      notes_.push_back(name + u": its clocks cannot be controlled" +
                       (AdlSucceeded(code) ? u" (no Overdrive)"
                                           : u": " + AdlRefusal(u"ADL2_Overdrive_Caps", code)));
      continue;
    }
    std::u16string why;
    std::unique_ptr<GpuDevice> device;
    if (version == adl::kOverdriveN) {
      device = OverdriveNDevice::Open(api_, info.adapterIndex, name, why);
    } else if (version == adl::kOverdrive8) {
      device = Overdrive8Device::Open(api_, info.adapterIndex, name, why);
    } else {
      why = Format(u"Overdrive version %i is not one this helper can drive", version);
    }
    if (!device) {
      notes_.push_back(name + u": its clocks cannot be controlled: " + why);
      continue;
    }
    devices_.push_back(std::move(device));
  }
}
