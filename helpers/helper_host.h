// What a helper needs of the platform: its own identity, whether the
// application still runs, and a wait that keeps its window served.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class HelperHost {
 public:
  virtual ~HelperHost() = default;
  virtual std::uint32_t ProcessId() const = 0;
  // The low 32 bits of the helper's window handle.
  virtual std::uint32_t Window() const = 0;
  // Whether the process with this id still runs (never for id 0).
  virtual bool ProcessRuns(std::uint32_t processId) = 0;
  // A steady clock in milliseconds.
  virtual std::uint64_t NowMs() = 0;
  // Waits between two passes; false when the system asked the helper to close.
  virtual bool WaitForNextPass(std::uint32_t milliseconds) = 0;
};

class GpuDevice;

// The AMD Display Library, through which the ADL helper reaches the GPUs.
class DisplayLibrary {
 public:
  virtual ~DisplayLibrary() = default;
  // The names of the GPUs it can control; nothing when the library is missing.
  virtual std::optional<std::vector<std::u16string>> ListGpus() = 0;
  // The GPUs ListGpus found, in the same order.
  virtual std::vector<GpuDevice*> Devices() = 0;
  // What ListGpus has to tell the user since the last call: GPUs it cannot
  // control and why, a library that would not start.
  virtual std::vector<std::u16string> Notes() = 0;
};
