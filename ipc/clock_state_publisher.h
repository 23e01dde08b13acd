// Publishes the clock state the helpers follow: the controller's decision and
// the clock settings, built into a staging record on every call and copied
// into the shared block only when the block's record differs.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "app/critical_section_wrapper.h"
#include "base/critical_section.h"
#include "config/general_settings.h"
#include "ipc/shared_block.h"
#include "ipc/shared_block_layout.h"

// What the publisher reads. The controller owns all of it; the publisher
// only borrows it, so ipc does not depend on the controller.
struct PublisherSources {
  // Serialises publications with the helper supervisor and the scanner.
  CriticalSection& stateLock;
  const std::atomic<bool>& blockRequested;
  const std::atomic<bool>& forceDownclockRequested;
  // Guards the two target texts ("DEFAULT", "+N", "-N" or "N").
  std::mutex& clockTargetsLock;
  const std::u16string& coreClockTarget;
  const std::u16string& memClockTarget;
  CriticalSection_Wrapper& settingsLock;
  // Its selected GPUs stand for the GPU picker's selection.
  const CGeneralSettings_ConfigFile& settings;
};

class ClockStatePublisher {
 public:
  static constexpr std::uint32_t kClockStateTimeoutMs = 5000;

  ClockStatePublisher(SharedBlock& block, PublisherSources sources)
      : block_(block), sources_(sources) {}
  ClockStatePublisher(const ClockStatePublisher&) = delete;
  ClockStatePublisher& operator=(const ClockStatePublisher&) = delete;

  // Rebuilds the staging record and, when it differs from the block's, copies
  // it under the ClockState mutex. A copy that times out is retried by the
  // next call. Any thread; re-entrant under stateLock.
  void UpdateBlockingMethod();

  // The record as the last call built it (read it under stateLock).
  const std::array<std::uint8_t, block::clock::kSize>& Staging() const { return staging_; }

 private:
  SharedBlock& block_;
  PublisherSources sources_;
  // Kept between calls: fields a call does not write keep their last value.
  std::array<std::uint8_t, block::clock::kSize> staging_{};
};
