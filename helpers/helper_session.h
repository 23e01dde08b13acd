// One run of a helper executable against the shared block: admission by
// the launch token, registration of its process and window, then a pass
// every 200 ms until the application no longer wants it. Each pass reads the
// clock-state record, logs each change and hands it to the helper's follower,
// which is told to restore what it changed on the way out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "helpers/clock_follower.h"
#include "helpers/clock_plan.h"
#include "helpers/helper_host.h"
#include "helpers/log_area.h"
#include "ipc/named_mutex.h"
#include "ipc/shared_block.h"

// "Compute Helper" or "ADL Helper", as the application's log names them.
std::u16string_view HelperName(Helper helper);

class HelperSession {
 public:
  static constexpr std::uint32_t kPassIntervalMs = 200;
  static constexpr std::uint32_t kSharedMsgTimeoutMs = 10000;
  static constexpr std::uint32_t kClockStateTimeoutMs = 5000;
  static constexpr std::uint32_t kMainTimeoutMs = 10000;

  // The library is the ADL helper's (null for the compute helper); the
  // follower may be null (the plan is then only logged).
  HelperSession(Helper helper, std::uint8_t* block, NamedMutexes& mutexes, HelperHost& host,
                DisplayLibrary* library, ClockFollower* follower);

  // Whether the block carries the application's header and the helper's
  // token area holds this token. Writes nothing.
  bool Admit(std::u16string_view token);

  // After admission: registers, publishes the GPUs (ADL helper) and runs
  // passes until the helper must end. Returns the exit code: 1 when it could
  // not register, else 0.
  int Run();

  // Has the follower restore at once, outside the passes: for a process that
  // is about to die (a crash, the end of the user's session). Later calls do
  // nothing.
  void RestoreNow();

 private:
  bool Register();
  void Unregister();
  void PublishGpus();
  // The reason to end, or nothing.
  std::optional<std::u16string> ReasonToEnd();
  void FollowClockState();

  const Helper helper_;
  std::uint8_t* const block_;
  NamedMutexes& mutexes_;
  HelperHost& host_;
  DisplayLibrary* const library_;
  ClockFollower* const follower_;
  LogArea log_;
  std::u16string token_;
  // The ADL helper's GPUs, until they are written into the block.
  std::optional<std::vector<std::u16string>> unpublishedGpus_;
  std::optional<ClockPlan> plan_;
  bool restored_ = false;
};
