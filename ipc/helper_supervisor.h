// Keeps the helper executables running while clock control is engaged and
// tells them to stop when it is not. The dispatcher runs as a job on the
// worker pool; the scanner wakes it for a prompt extra pass.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "base/critical_section.h"
#include "base/event.h"
#include "ipc/process_control.h"
#include "ipc/shared_block.h"

inline constexpr std::u16string_view kComputeHelperFileName = u"Vantreloquin_HelperModule.exe";
inline constexpr std::u16string_view kAdlHelperFileName = u"Vantreloquin_HelperModule_ADL.exe";

// The dispatcher's wake signal. Each wake buys one immediate extra pass, at
// most two in a row. The application owns one for the process.
class DispatcherWake {
 public:
  static constexpr std::uint32_t kMaxPendingWakes = 2;

  DispatcherWake() = default;
  DispatcherWake(const DispatcherWake&) = delete;
  DispatcherWake& operator=(const DispatcherWake&) = delete;

  // The scanner's call after a state change; any thread.
  void WakeDispatcher();
  // Start-up: forgets wakes from before.
  void ResetDispatcherWake();
  // The dispatcher's end-of-pass step: consumes one pending wake; true when
  // there was one, so the next pass starts at once.
  bool TakePendingWake();

 private:
  CriticalSection lock_;
  // Created signalled; set by each wake and reset by each pass.
  Event event_{Event::ResetMode::Manual, true};
  std::uint32_t pending_ = 0;
};

// What the supervisor reads. The controller owns all of it; the supervisor
// only borrows it, so ipc does not depend on the controller.
struct SupervisorSources {
  // Held for each engaged pass and for the stop-flag writes, which keeps them
  // apart from a clock-state publication and the scanner's state change.
  CriticalSection& stateLock;
  const std::atomic<bool>& blockRequested;
  const std::atomic<bool>& forceDownclockRequested;
  // The BlockingMethod setting, read without the settings lock.
  std::function<std::uint32_t()> blockingMethod;
};

class HelperSupervisor {
 public:
  static constexpr std::uint32_t kPassIntervalMs = 500;
  static constexpr std::uint32_t kAfterStartWaitMs = 200;

  // programFolder ends with a backslash; a helper's path is it followed by
  // the helper's file name.
  HelperSupervisor(SharedBlock& block, ProcessControl& processes, std::u16string programFolder,
                   DispatcherWake& wake, SupervisorSources sources)
      : block_(block),
        processes_(processes),
        programFolder_(std::move(programFolder)),
        wake_(wake),
        sources_(std::move(sources)) {}
  HelperSupervisor(const HelperSupervisor&) = delete;
  HelperSupervisor& operator=(const HelperSupervisor&) = delete;

  // The dispatcher job: a pass about every 500 ms (at once after a wake)
  // until the stop signal is set.
  void HelperDispatcher(Event& stopSignal);

  // One pass of the dispatcher: the first pass starts the ADL helper; later
  // ones keep the needed helpers running while a block or forced downclock
  // is requested, else raise the stop flags. True when the next pass should
  // start at once.
  bool RunPass(Event& stopSignal);

  // Starts the helper unless it runs or was started and has not registered
  // yet; true only when a process was started. After a start attempt it
  // waits up to 200 ms on the stop signal.
  bool EnsureHelperRunning(Helper helper, Event& stopSignal);

  // Raises both stop flags (logged only when one was down).
  void SignalHelpersToStop();

  std::u16string HelperPath(Helper helper) const;

 private:
  SharedBlock& block_;
  ProcessControl& processes_;
  const std::u16string programFolder_;
  DispatcherWake& wake_;
  SupervisorSources sources_;
  // The first pass starts the ADL helper whatever the clock state: it also
  // fills the list of GPUs the picker shows.
  bool firstPass_ = true;
};
