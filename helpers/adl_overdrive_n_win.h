// A GPU with Overdrive N (Polaris, Vega): core and memory clocks as lists of
// performance levels, read and set with ADL2_OverdriveN_SystemClocks_Get/Set
// and ADL2_OverdriveN_MemoryClocks_Get/Set, in units of 10 kHz.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "helpers/adl_library_win.h"
#include "helpers/gpu_device.h"

class OverdriveNDevice : public GpuDevice {
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
  struct Levels {
    int mode = 0;
    std::vector<adl::OdnPerformanceLevel> levels;
  };
  // One of the two clocks, core or memory.
  struct Clock {
    adl::OdnClocksGet get = nullptr;
    adl::OdnClocksSet set = nullptr;
    const char16_t* getName = nullptr;
    const char16_t* setName = nullptr;
    Levels defaults;
    std::optional<Levels> captured;
  };

  OverdriveNDevice(const AdlApi& api, int adapter, std::u16string name, int levelCount);
  GpuRefusal Get(const Clock& clock, int mode, Levels& levels) const;
  GpuRefusal Set(const Clock& clock, int mode,
                 const std::vector<adl::OdnPerformanceLevel>& levels) const;
  GpuRefusal ApplyTo(Clock& clock, const ClockRange& range) const;
  GpuRefusal RestoreTo(Clock& clock) const;

  const AdlApi& api_;
  const int adapter_;
  const std::u16string name_;
  const int levelCount_;
  GpuClockLimits limits_;
  Clock core_;
  Clock memory_;
};
