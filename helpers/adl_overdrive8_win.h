// A GPU with Overdrive 8 (Vega 20, RDNA): the core clock's minimum and
// maximum and the memory clock's maximum, in MHz, read with
// ADL2_Overdrive8_Init_SettingX2_Get and ADL2_Overdrive8_Current_SettingX2_Get
// and set with ADL2_Overdrive8_Setting_Set.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "helpers/adl_library_win.h"
#include "helpers/gpu_device.h"

class Overdrive8Device : public GpuDevice {
 public:
  // Nothing, with the reason in `why`, when the GPU cannot be driven.
  static std::unique_ptr<GpuDevice> Open(const AdlApi& api, int adapter, std::u16string name,
                                         std::u16string& why);

  const std::u16string& Name() const override { return name_; }
  const GpuClockLimits& Limits() const override { return limits_; }
  GpuRefusal Read(GpuClockSettings& settings) override;
  GpuRefusal Capture() override;
  GpuRefusal Apply(const GpuClockSettings& settings) override;
  GpuRefusal Restore() override;

 private:
  // A value to set for one feature: its value, or its default back.
  struct Request {
    int feature;
    int value;
    bool reset;
  };

  Overdrive8Device(const AdlApi& api, int adapter, std::u16string name,
                   std::vector<adl::Od8SingleInitSetting> init, bool memoryControl);
  GpuRefusal Current(std::vector<int>& values) const;
  GpuRefusal Set(const std::vector<Request>& requests) const;
  std::vector<int> Features() const;

  const AdlApi& api_;
  const int adapter_;
  const std::u16string name_;
  const std::vector<adl::Od8SingleInitSetting> init_;
  const bool memoryControl_;
  GpuClockLimits limits_;
  std::vector<int> captured_;
};
