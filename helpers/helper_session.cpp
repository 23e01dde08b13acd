#include "helpers/helper_session.h"

#include <algorithm>
#include <array>
#include <utility>

#include "base/format.h"
#include "ipc/shared_block_layout.h"

namespace {

constexpr std::size_t kTokenUnits = block::kTokenAreaSize / 2;

struct HelperFields {
  std::size_t token;
  std::size_t processId;
  std::size_t window;
};

HelperFields FieldsOf(Helper helper) {
  if (helper == Helper::Adl) {
    return {block::kAdlToken, block::kAdlProcessId, block::kAdlWindow};
  }
  return {block::kComputeToken, block::kComputeProcessId, block::kComputeWindow};
}

// The token area's text: up to its first zero unit, at most 256 units.
std::u16string TokenInArea(const std::uint8_t* block, Helper helper) {
  std::u16string token;
  const std::size_t area = FieldsOf(helper).token;
  for (std::size_t i = 0; i < kTokenUnits; ++i) {
    const char16_t unit = block::ReadUnit(block, area + i * 2);
    if (unit == 0) {
      break;
    }
    token.push_back(unit);
  }
  return token;
}

}  // namespace

std::u16string_view HelperName(Helper helper) {
  return helper == Helper::Adl ? u"ADL Helper" : u"Compute Helper";
}

HelperSession::HelperSession(Helper helper, std::uint8_t* block, NamedMutexes& mutexes,
                             HelperHost& host, DisplayLibrary* library, ClockFollower* follower)
    : helper_(helper),
      block_(block),
      mutexes_(mutexes),
      host_(host),
      library_(library),
      follower_(follower),
      log_(block, mutexes, u"[" + std::u16string(HelperName(helper)) + u"] ") {}

bool HelperSession::Admit(std::u16string_view token) {
  const std::array<std::uint8_t, block::kHeaderSize> header = EncodedHeader();
  if (token.empty() || token.size() > kTokenUnits ||
      !std::equal(header.begin(), header.end(), block_ + block::kHeader)) {
    return false;
  }
  NamedMutexLock lock(mutexes_, block::kSharedMsgMutex, kSharedMsgTimeoutMs);
  if (!lock.Acquired() || TokenInArea(block_, helper_) != token) {
    return false;
  }
  token_ = token;
  return true;
}

int HelperSession::Run() {
  if (!Register()) {
    log_.Add(u"not started: its launch token was replaced or the block stayed locked");
    log_.Flush();
    return 1;
  }
  log_.Add(Format(u"started (process %u) for the application (process %u)", host_.ProcessId(),
                  block::ReadU32(block_, block::kAppProcessId)));
  if (library_) {
    unpublishedGpus_ = library_->ListGpus();
    for (const std::u16string& note : library_->Notes()) {
      log_.Add(note);
    }
    if (unpublishedGpus_) {
      log_.Add(u"GPUs found: " + DescribeGpus(*unpublishedGpus_));
    } else {
      log_.Add(u"AMD Display Library (atiadlxx.dll) is not available: no GPUs to control");
      unpublishedGpus_.emplace();
    }
    PublishGpus();
  }
  log_.Flush();

  std::optional<std::u16string> reason = ReasonToEnd();
  while (!reason) {
    PublishGpus();
    FollowClockState();
    log_.Flush();
    if (host_.WaitForNextPass(kPassIntervalMs)) {
      reason = ReasonToEnd();
    } else {
      reason = u"the system asked the helper to close";
    }
  }
  log_.Add(u"stopping: " + *reason);
  RestoreNow();
  Unregister();
  log_.Flush();
  return 0;
}

void HelperSession::RestoreNow() {
  if (follower_ && !restored_) {
    restored_ = true;
    follower_->Restore(log_);
    log_.Flush();
  }
}

bool HelperSession::Register() {
  NamedMutexLock lock(mutexes_, block::kSharedMsgMutex, kSharedMsgTimeoutMs);
  // A newer token means a newer copy of this helper is on its way.
  if (!lock.Acquired() || TokenInArea(block_, helper_) != token_) {
    return false;
  }
  const HelperFields fields = FieldsOf(helper_);
  block::WriteU32(block_, fields.processId, host_.ProcessId());
  block::WriteU32(block_, fields.window, host_.Window());
  return true;
}

void HelperSession::Unregister() {
  NamedMutexLock lock(mutexes_, block::kSharedMsgMutex, kSharedMsgTimeoutMs);
  const HelperFields fields = FieldsOf(helper_);
  // Only our own entry: a newer copy may have registered already.
  if (lock.Acquired() && block::ReadU32(block_, fields.processId) == host_.ProcessId()) {
    block::WriteU32(block_, fields.processId, 0);
    block::WriteU32(block_, fields.window, 0);
  }
}

void HelperSession::PublishGpus() {
  if (!unpublishedGpus_) {
    return;
  }
  NamedMutexLock lock(mutexes_, block::kMainMutex, kMainTimeoutMs);
  if (lock.Acquired()) {
    WriteGpuTable(block_ + block::kAvailableGpus, *unpublishedGpus_);
    unpublishedGpus_.reset();
  }
}

std::optional<std::u16string> HelperSession::ReasonToEnd() {
  if (block_[block::kStopFlagA] != 0 || block_[block::kStopFlagB] != 0) {
    return u"stop flag raised";
  }
  // The application clears the entry when it starts a new copy of this helper.
  const std::uint32_t registered = block::ReadU32(block_, FieldsOf(helper_).processId);
  if (registered != host_.ProcessId()) {
    return Format(u"no longer registered (the block names process %u)", registered);
  }
  const std::uint32_t app = block::ReadU32(block_, block::kAppProcessId);
  if (!host_.ProcessRuns(app)) {
    return Format(u"the application (process %u) has ended", app);
  }
  return std::nullopt;
}

void HelperSession::FollowClockState() {
  std::array<std::uint8_t, block::clock::kSize> record;
  bool read = false;
  {
    NamedMutexLock lock(mutexes_, block::kClockStateMutex, kClockStateTimeoutMs);
    if (lock.Acquired()) {
      std::copy_n(block_ + block::kClockState, record.size(), record.begin());
      read = true;
    }
  }
  if (read) {
    ClockPlan plan = DecodeClockPlan(record.data());
    if (!plan_ || !SameClocks(*plan_, plan)) {
      log_.Add(u"clock state received: " + DescribeClockPlan(helper_, plan));
    }
    if (!plan_ || plan_->watchdogSeconds != plan.watchdogSeconds) {
      log_.Add(DescribePolling(plan.watchdogSeconds));
    }
    plan_ = std::move(plan);
  }
  // While the record stays locked, the last one read is followed.
  if (plan_ && follower_) {
    follower_->Follow(*plan_, host_.NowMs(), log_);
  }
}
