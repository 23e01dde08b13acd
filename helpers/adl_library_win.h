// The AMD Display Library as the driver installs it (atiadlxx.dll in the
// system folder), loaded at run time. Lists one device per physical AMD GPU
// whose clocks it can control: Overdrive N (Polaris, Vega) and Overdrive 8
// (Vega 20, RDNA).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "helpers/adl_api_win.h"
#include "helpers/gpu_device.h"
#include "helpers/helper_host.h"

// The library's entry points the devices use, resolved once.
struct AdlApi {
  adl::Context context = nullptr;
  adl::MainControlDestroy destroy = nullptr;
  adl::AdapterCountGet adapterCount = nullptr;
  adl::AdapterInfoGet adapterInfo = nullptr;
  adl::OverdriveCaps overdriveCaps = nullptr;
  adl::OdnCapabilitiesGet odnCapabilities = nullptr;
  adl::OdnClocksGet odnSystemClocksGet = nullptr;
  adl::OdnClocksSet odnSystemClocksSet = nullptr;
  adl::OdnClocksGet odnMemoryClocksGet = nullptr;
  adl::OdnClocksSet odnMemoryClocksSet = nullptr;
  adl::Od8InitSettingGet od8InitSetting = nullptr;
  adl::Od8CurrentSettingGet od8CurrentSetting = nullptr;
  adl::Od8SettingSet od8SettingSet = nullptr;
};

// The allocator the library fills its returned lists with; freed with
// FreeAdlList.
void* __stdcall AllocateForAdl(int bytes);
void FreeAdlList(void* list);

class AdlLibrary : public DisplayLibrary {
 public:
  AdlLibrary() = default;
  ~AdlLibrary() override;
  AdlLibrary(const AdlLibrary&) = delete;
  AdlLibrary& operator=(const AdlLibrary&) = delete;

  std::optional<std::vector<std::u16string>> ListGpus() override;
  std::vector<GpuDevice*> Devices() override;
  std::vector<std::u16string> Notes() override;

 private:
  bool Start();
  void FindDevices();

  HMODULE module_ = nullptr;
  AdlApi api_;
  std::vector<std::unique_ptr<GpuDevice>> devices_;
  std::vector<std::u16string> notes_;
};
