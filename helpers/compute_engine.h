// The device under the compute load: Direct3D 11 on Windows, a fake in the
// tests. Used from the load's work thread only; it fails by throwing
// ComputeEngineError with the reason in plain words.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "base/text.h"
#include "helpers/compute_kernel.h"

class ComputeEngineError : public std::runtime_error {
 public:
  explicit ComputeEngineError(const std::u16string& reason)
      : std::runtime_error(Utf16ToUtf8(reason)), reason_(reason) {}
  const std::u16string& reason() const { return reason_; }

 private:
  std::u16string reason_;
};

class ComputeEngine {
 public:
  virtual ~ComputeEngine() = default;

  // Creates the device and both kernels and checks the values they write.
  // Returns what it runs on and how the check went, for the log.
  virtual std::u16string Open() = 0;
  // Queues one dispatch of the kernel with this many thread groups and
  // returns without waiting for it.
  virtual void Submit(ComputeKernel kernel, std::uint32_t groups) = 0;
  // Waits, without keeping a processor busy, until the last dispatch has
  // run. Its GPU time in ms, or none when the GPU could not time it.
  virtual std::optional<double> Collect() = 0;
  // Releases the device; a note for the log when something of it is still
  // referenced afterwards. Does not throw.
  virtual std::optional<std::u16string> Close() = 0;
};
