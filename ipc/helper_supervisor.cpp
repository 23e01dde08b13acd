#include "ipc/helper_supervisor.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/log.h"
#include "base/format.h"
#include "ipc/shared_block_layout.h"

namespace {

struct HelperInfo {
  std::u16string_view fileName;
  std::u16string_view logName;
  std::size_t processIdField;
  std::size_t windowField;
};

HelperInfo Info(Helper helper) {
  if (helper == Helper::Adl) {
    return {kAdlHelperFileName, u"ADL Helper", block::kAdlProcessId, block::kAdlWindow};
  }
  return {kComputeHelperFileName, u"Compute Helper", block::kComputeProcessId,
          block::kComputeWindow};
}

// The helpers a blocking method needs, in start order.
std::vector<Helper> HelpersForMethod(std::uint32_t method) {
  switch (method) {
    case 0:  // reliable compute
    case 1:  // alternate compute
      return {Helper::Compute};
    case 2:
      return {Helper::Adl};
    case 3:  // combined
      return {Helper::Compute, Helper::Adl};
    default:
      return {};
  }
}

}  // namespace

void DispatcherWake::WakeDispatcher() {
  CriticalSectionLock lock(lock_);
  if (pending_ < kMaxPendingWakes) {
    ++pending_;
  }
  event_.Set();
}

void DispatcherWake::ResetDispatcherWake() {
  CriticalSectionLock lock(lock_);
  event_.Reset();
  pending_ = 0;
}

bool DispatcherWake::TakePendingWake() {
  CriticalSectionLock lock(lock_);
  const bool immediate = pending_ != 0;
  pending_ = std::min(pending_, kMaxPendingWakes);
  event_.Reset();
  if (pending_ != 0) {
    --pending_;
  }
  return immediate;
}

std::u16string HelperSupervisor::HelperPath(Helper helper) const {
  return programFolder_ + std::u16string(Info(helper).fileName);
}

void HelperSupervisor::HelperDispatcher(Event& stopSignal) {
  while (!stopSignal.Wait(std::chrono::milliseconds(0))) {
    if (!RunPass(stopSignal)) {
      // The pause between passes. A wait for the wake event and the stop
      // signal together would end early only when both are set, that is at
      // shutdown; wakes act through the pending count instead. Waiting on the
      // stop signal alone ends the pause at shutdown whatever the event, and
      // the test above then ends the job.
      stopSignal.Wait(std::chrono::milliseconds(kPassIntervalMs));
    }
  }
}

bool HelperSupervisor::RunPass(Event& stopSignal) {
  if (sources_.blockRequested.load() || firstPass_) {
    CriticalSectionLock lock(sources_.stateLock);
    if (block_.IsOpen()) {
      block_.Bytes()[block::kStopFlagA] = 0;
      block_.Bytes()[block::kStopFlagB] = 0;
    }
    const std::vector<Helper> needed = sources_.forceDownclockRequested.load()
                                           ? std::vector<Helper>{Helper::Adl}
                                           : HelpersForMethod(sources_.blockingMethod());
    if (firstPass_) {
      firstPass_ = false;
      EnsureHelperRunning(Helper::Adl, stopSignal);
    } else {
      for (Helper helper : needed) {
        EnsureHelperRunning(helper, stopSignal);
      }
    }
  } else {
    SignalHelpersToStop();
  }
  return wake_.TakePendingWake();
}

bool HelperSupervisor::EnsureHelperRunning(Helper helper, Event& stopSignal) {
  if (!block_.IsOpen()) {
    return false;
  }
  const HelperInfo info = Info(helper);
  const std::uint8_t* bytes = block_.Bytes();
  if (processes_.IsHelperAlive(block::ReadU32(bytes, info.processIdField),
                               block::ReadU32(bytes, info.windowField), info.fileName)) {
    return false;
  }
  // Started before and not registered yet: a second copy would fight the first.
  const std::u16string path = HelperPath(helper);
  const std::vector<std::u16string> running = processes_.RunningProcessPaths();
  if (std::find(running.begin(), running.end(), path) != running.end()) {
    return false;
  }
  const std::u16string token = block_.IssueHelperToken(helper);
  if (token.empty()) {
    return false;  // the token mutex was busy; the next pass tries again
  }
  const std::uint32_t code = processes_.ExecuteProcess(path, {token}, 0, false);
  if (code == 0) {
    LogFormat(u"ExecuteProcess [%s] -- success [%u]", info.logName, code);
  } else {
    LogFormat(u"ExecuteProcess [%s] -- failed [%u]", info.logName, code);
  }
  stopSignal.Wait(std::chrono::milliseconds(kAfterStartWaitMs));
  return code == 0;
}

void HelperSupervisor::SignalHelpersToStop() {
  CriticalSectionLock lock(sources_.stateLock);
  if (!block_.IsOpen()) {
    return;
  }
  std::uint8_t* bytes = block_.Bytes();
  if (bytes[block::kStopFlagA] == 0 || bytes[block::kStopFlagB] == 0) {
    Log(u"Signaled terminate helper container...");
    bytes[block::kStopFlagA] = 1;
    bytes[block::kStopFlagB] = 1;
  }
}
