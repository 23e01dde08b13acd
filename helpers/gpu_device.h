// One GPU whose clocks the ADL helper controls, as the portable clock logic
// sees it. The Windows side reaches it through the AMD Display Library; the
// tests use fakes.
#pragma once

#include <optional>
#include <string>

// A clock range in MHz, both ends included.
struct ClockRange {
  int min = 0;
  int max = 0;
  bool operator==(const ClockRange&) const = default;
};

// What the GPU accepts and what it came with.
struct GpuClockLimits {
  ClockRange core;       // the core clocks the GPU accepts
  ClockRange memory;     // the memory clocks the GPU accepts
  int coreStockMax = 0;  // the core clock of its highest level as shipped
  int memoryStockMax = 0;
};

// The range each clock may move in: the GPU picks its level inside it.
// Holding the highest level is a range of one clock at the top; forcing the
// lowest, one at the bottom.
struct GpuClockSettings {
  ClockRange core;
  ClockRange memory;
  bool operator==(const GpuClockSettings&) const = default;
};

// Nothing when a call was done; otherwise the library's refusal in plain
// words, e.g. "ADL2_Overdrive8_Setting_Set refused: not supported (-8)".
using GpuRefusal = std::optional<std::u16string>;

class GpuDevice {
 public:
  virtual ~GpuDevice() = default;
  // The name the GPU picker shows, one per physical GPU.
  virtual const std::u16string& Name() const = 0;
  virtual const GpuClockLimits& Limits() const = 0;
  // Reads the settings in force now.
  virtual GpuRefusal Read(GpuClockSettings& settings) = 0;
  // Remembers everything the helper may change, as it is now, for Restore.
  virtual GpuRefusal Capture() = 0;
  virtual GpuRefusal Apply(const GpuClockSettings& settings) = 0;
  // Puts back what Capture remembered.
  virtual GpuRefusal Restore() = 0;
};
