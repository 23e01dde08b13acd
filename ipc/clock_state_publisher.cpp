#include "ipc/clock_state_publisher.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "app/log.h"
#include "base/text.h"
#include "ipc/named_mutex.h"

namespace {

// blockingMethod: the ADL helper; state: block, force downclock, default.
constexpr std::uint32_t kAdlMethod = 2;
constexpr std::uint32_t kStateBlock = 0;
constexpr std::uint32_t kStateForceDownclock = 1;
constexpr std::uint32_t kStateDefault = 2;

constexpr std::int64_t kMaxClockValue = 2147483647;

constexpr std::u16string_view kNonNumericClock =
    u"UpdateBlockingMethod:: Non-numeric clock-state read from config! Something is very wrong "
    u"here (**possible memory or config-file corruption**) => Disabling Clock Control for safety";

constexpr std::size_t kEntries[] = {block::clock::kCoreDefault, block::clock::kMemDefault,
                                    block::clock::kCoreTarget, block::clock::kMemTarget};

void WriteClock(std::uint8_t* record, std::size_t entry, bool relative, std::int32_t value) {
  record[entry + block::clock::kEntryRelative] = relative ? 1 : 0;
  block::WriteU32(record, entry + block::clock::kEntryValue, static_cast<std::uint32_t>(value));
}

// "+N" and "-N" are offsets, a bare "N" is an absolute clock; N is decimal
// digits only (empty meaning 0), saturating at 2147483647. False for any
// other text, which leaves relative and value alone.
bool ParseClock(std::u16string_view text, bool& relative, std::int32_t& value) {
  if (text.empty()) {
    return false;
  }
  const bool negative = text.front() == u'-';
  const bool sign = negative || text.front() == u'+';
  const std::u16string_view digits = sign ? text.substr(1) : text;
  std::int64_t number = 0;
  for (const char16_t unit : digits) {
    if (unit < u'0' || unit > u'9') {
      return false;
    }
    number = std::min(number * 10 + (unit - u'0'), kMaxClockValue);
  }
  relative = sign;
  value = static_cast<std::int32_t>(negative ? -number : number);
  return true;
}

// Writes relative and value of the entry from its text; a text that breaks
// the rules gives an offset of 0 (no change to the stock clock). False on
// such a text.
bool ApplyClockText(std::uint8_t* record, std::size_t entry, std::u16string_view text) {
  bool relative = true;
  std::int32_t value = 0;
  const bool ok = ParseClock(text, relative, value);
  WriteClock(record, entry, relative, value);
  return ok;
}

// A default clock cannot itself be "DEFAULT": that leaves the entry as it
// was and counts as an error.
bool ApplyDefaultClock(std::uint8_t* record, std::size_t entry, std::u16string_view text) {
  if (EqualsNoCase(text, u"DEFAULT")) {
    return false;
  }
  return ApplyClockText(record, entry, text);
}

// A target of "DEFAULT" takes the whole default entry built in this call.
bool ApplyTargetClock(std::uint8_t* record, std::size_t entry, std::size_t defaultEntry,
                      std::u16string_view text) {
  if (EqualsNoCase(text, u"DEFAULT")) {
    std::memcpy(record + entry, record + defaultEntry, block::clock::kEntrySize);
    return true;
  }
  return ApplyClockText(record, entry, text);
}

}  // namespace

void ClockStatePublisher::UpdateBlockingMethod() {
  namespace field = block::clock;
  CriticalSectionLock stateHold(sources_.stateLock);
  const CGeneralSettings_ConfigFile& settings = sources_.settings;
  std::uint8_t* record = staging_.data();

  const bool blockRequested = sources_.blockRequested.load();
  const bool forceDownclock = sources_.forceDownclockRequested.load();
  if (!blockRequested) {
    block::WriteU32(record, field::kBlockingMethod, kAdlMethod);
    block::WriteU32(record, field::kState, kStateDefault);
  } else if (forceDownclock) {
    block::WriteU32(record, field::kBlockingMethod, kAdlMethod);
    block::WriteU32(record, field::kState, kStateForceDownclock);
  } else {
    block::WriteU32(record, field::kBlockingMethod, settings.BlockingMethod.Value());
    block::WriteU32(record, field::kState, kStateBlock);
  }

  if (settings.bUsingCustomClocks.Value()) {
    bool error = false;
    bool coreTargetIsDefault = false;
    bool memTargetIsDefault = false;
    {
      ReadLockGuard settingsHold(sources_.settingsLock);
      // The switch may have been turned off since the unlocked look; then the
      // entries and the selection keep what the last call gave them.
      if (settings.bUsingCustomClocks.Value()) {
        for (const std::size_t entry : kEntries) {
          record[entry + field::kEntryCustom] = 1;
        }
        WriteGpuTable(record + field::kSelectedGpus, settings.GetSelectedGpus());
        std::u16string coreTarget;
        std::u16string memTarget;
        {
          std::lock_guard<std::mutex> targetsHold(sources_.clockTargetsLock);
          coreTarget = sources_.coreClockTarget;
          memTarget = sources_.memClockTarget;
        }
        // Defaults first: a "DEFAULT" target copies them.
        const bool coreDefaultOk =
            ApplyDefaultClock(record, field::kCoreDefault, settings.DefaultClock_Core.Value());
        const bool memDefaultOk =
            ApplyDefaultClock(record, field::kMemDefault, settings.DefaultClock_Mem.Value());
        const bool coreTargetOk =
            ApplyTargetClock(record, field::kCoreTarget, field::kCoreDefault, coreTarget);
        const bool memTargetOk =
            ApplyTargetClock(record, field::kMemTarget, field::kMemDefault, memTarget);
        error = !(coreDefaultOk && memDefaultOk && coreTargetOk && memTargetOk);
        coreTargetIsDefault = EqualsNoCase(coreTarget, u"DEFAULT");
        memTargetIsDefault = EqualsNoCase(memTarget, u"DEFAULT");
      }
    }
    if (error) {
      Log(kNonNumericClock);
      // Custom clocks stay marked as in force, at the stock clocks.
      WriteClock(record, field::kCoreDefault, true, 0);
      WriteClock(record, field::kMemDefault, true, 0);
      // A target that follows a broken default follows the safe one too,
      // never the broken entry (which may read as an absolute 0 MHz).
      if (coreTargetIsDefault) {
        std::memcpy(record + field::kCoreTarget, record + field::kCoreDefault, field::kEntrySize);
      }
      if (memTargetIsDefault) {
        std::memcpy(record + field::kMemTarget, record + field::kMemDefault, field::kEntrySize);
      }
    }
  } else {
    for (const std::size_t entry : kEntries) {
      record[entry + field::kEntryCustom] = 0;
      WriteClock(record, entry, true, 0);
    }
    WriteGpuTable(record + field::kSelectedGpus, {});
  }

  block::WriteU32(record, field::kWatchdogSeconds,
                  settings.Watchdog_Polling_Interval_Seconds.Value());

  if (!block_.IsOpen()) {
    return;
  }
  // The helpers only read the record, so comparing needs no mutex; comparing
  // with the block (not with the last copy) also repairs a missed copy.
  std::uint8_t* published = block_.Bytes() + block::kClockState;
  if (std::memcmp(published, record, field::kSize) == 0) {
    return;
  }
  NamedMutexLock clockStateHold(block_.Mutexes(), block::kClockStateMutex, kClockStateTimeoutMs);
  if (clockStateHold.Acquired()) {
    std::memcpy(published, record, field::kSize);
  }
}
