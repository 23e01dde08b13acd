#include "ipc/clock_state_publisher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "app/log.h"
#include "base/text.h"
#include "fakes/decision_state.h"
#include "fakes/fake_named_mutexes.h"
#include "fakes/log_capture.h"

namespace {

namespace field = block::clock;

const std::u16string kNonNumericClock =
    u"UpdateBlockingMethod:: Non-numeric clock-state read from config! Something is very wrong "
    u"here (**possible memory or config-file corruption**) => Disabling Clock Control for safety";

struct Entry {
  int custom;
  int relative;
  std::int32_t value;
  bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
  return out << "{" << entry.custom << ", " << entry.relative << ", " << entry.value << "}";
}

class ClockStatePublisherTest : public ::testing::Test, protected DecisionState {
 protected:
  // Holds a lock wrapper, whose destructor may throw.
  ~ClockStatePublisherTest() noexcept override = default;

  PublisherSources Sources() {
    return {stateLock,        blockRequested,  forceDownclockRequested,
            clockTargetsLock, coreClockTarget, memClockTarget,
            settingsLock,     settings};
  }

  void UseCustomClocks(const char16_t* coreDefault, const char16_t* memDefault) {
    settings.bUsingCustomClocks.Set(true);
    settings.DefaultClock_Core.Set(coreDefault);
    settings.DefaultClock_Mem.Set(memDefault);
  }

  const std::uint8_t* Record() const { return memory.data() + block::kClockState; }
  std::uint32_t RecordU32(std::size_t offset) const { return block::ReadU32(Record(), offset); }
  Entry EntryAt(std::size_t offset) const {
    return {Record()[offset + field::kEntryCustom], Record()[offset + field::kEntryRelative],
            static_cast<std::int32_t>(RecordU32(offset + field::kEntryValue))};
  }

  std::size_t ClockStateWaits() const {
    return std::count_if(mutexes.accesses.begin(), mutexes.accesses.end(), [](const auto& access) {
      return access.first == block::kClockStateMutex;
    });
  }

  // Logged texts without their time stamps.
  std::vector<std::u16string> LogTexts() { return log.Texts(); }
  std::size_t ErrorLines() {
    const std::vector<std::u16string> texts = LogTexts();
    return std::count(texts.begin(), texts.end(), kNonNumericClock);
  }

  std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(block::kSize);
  FakeNamedMutexes mutexes;
  SharedBlock sharedBlock{memory.data(), mutexes};
  LogCapture log;
  ClockStatePublisher publisher{sharedBlock, Sources()};
};

TEST_F(ClockStatePublisherTest, DerivesMethodAndStateFromTheDecision) {
  struct Case {
    bool block;
    bool force;
    std::uint32_t setting;
    std::uint32_t method;
    std::uint32_t state;
  };
  const Case cases[] = {
      {false, false, 3, 2, 2},  // no rule blocks: default state, whatever the setting
      {false, true, 0, 2, 2},   // force without block is still the default state
      {true, true, 0, 2, 1},    // force downclock always names the ADL method
      {true, false, 3, 3, 0},   // block uses the setting as stored
      {true, false, 1, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "block " << c.block << " force " << c.force << " setting " << c.setting);
    blockRequested = c.block;
    forceDownclockRequested = c.force;
    settings.BlockingMethod.Set(c.setting);
    publisher.UpdateBlockingMethod();
    EXPECT_EQ(RecordU32(field::kBlockingMethod), c.method);
    EXPECT_EQ(RecordU32(field::kState), c.state);
  }
}

TEST_F(ClockStatePublisherTest, CustomClocksPublishDefaultsTargetsAndSelectedGpus) {
  UseCustomClocks(u"+50", u"1050");
  settings.AddSelectedGpu(u"Radeon RX 480");
  settings.AddSelectedGpu(u"Radeon R9 390");
  coreClockTarget = u"DEFAULT";
  memClockTarget = u"-20";
  settings.Watchdog_Polling_Interval_Seconds.Set(10);

  publisher.UpdateBlockingMethod();

  EXPECT_EQ(EntryAt(field::kCoreDefault), (Entry{1, 1, 50}));
  EXPECT_EQ(EntryAt(field::kMemDefault), (Entry{1, 0, 1050}));
  EXPECT_EQ(EntryAt(field::kCoreTarget), (Entry{1, 1, 50}));
  EXPECT_EQ(EntryAt(field::kMemTarget), (Entry{1, 1, -20}));
  ASSERT_EQ(settings.GetSelectedGpus().size(), 2u);
  EXPECT_EQ(ReadGpuTable(Record() + field::kSelectedGpus), settings.GetSelectedGpus());
  EXPECT_EQ(RecordU32(field::kWatchdogSeconds), 10u);
  EXPECT_EQ(ErrorLines(), 0u);
}

TEST_F(ClockStatePublisherTest, ClockTextRules) {
  UseCustomClocks(u"+0", u"+7");
  struct Case {
    const char16_t* text;
    Entry entry;
    bool error;
  };
  // Read through the memory target, which keeps what the call gave it.
  const Case cases[] = {
      {u"875", {1, 0, 875}, false},
      {u"-125", {1, 1, -125}, false},
      {u"+0", {1, 1, 0}, false},
      {u"+", {1, 1, 0}, false},  // an empty number after the sign counts as 0
      {u"-", {1, 1, 0}, false},
      {u"2147483647", {1, 0, 2147483647}, false},
      {u"+99999999999999999999999", {1, 1, 2147483647}, false},
      {u"-99999999999", {1, 1, -2147483647}, false},
      {u"", {1, 1, 0}, true},
      // After an error call: "default" must copy the default built in this
      // call, not the one the error reset.
      {u"default", {1, 1, 7}, false},
      {u"0x1F", {1, 1, 0}, true},
      {u"+12a", {1, 1, 0}, true},
      {u"--5", {1, 1, 0}, true},
      {u" 50", {1, 1, 0}, true},
      {u"DEFAULT", {1, 1, 7}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("text \"" + Utf16ToUtf8(c.text) + "\"");
    memClockTarget = c.text;
    const std::size_t errorsBefore = ErrorLines();
    publisher.UpdateBlockingMethod();
    EXPECT_EQ(EntryAt(field::kMemTarget), c.entry);
    EXPECT_EQ(ErrorLines() - errorsBefore, c.error ? 1u : 0u);
    // Any error falls back to the stock clocks for both defaults.
    EXPECT_EQ(EntryAt(field::kMemDefault), c.error ? (Entry{1, 1, 0}) : (Entry{1, 1, 7}));
  }
}

TEST_F(ClockStatePublisherTest, DefaultClockOfDefaultIsAnErrorOnEveryCall) {
  UseCustomClocks(u"DEFAULT", u"+30");
  coreClockTarget = u"+5";
  memClockTarget = u"-20";
  for (int call = 1; call <= 3; ++call) {
    publisher.UpdateBlockingMethod();
    EXPECT_EQ(ErrorLines(), static_cast<std::size_t>(call));
  }
  EXPECT_EQ(EntryAt(field::kCoreDefault), (Entry{1, 1, 0}));
  EXPECT_EQ(EntryAt(field::kMemDefault), (Entry{1, 1, 0}));
  EXPECT_EQ(EntryAt(field::kCoreTarget), (Entry{1, 1, 5}));
  EXPECT_EQ(EntryAt(field::kMemTarget), (Entry{1, 1, -20}));
}

TEST_F(ClockStatePublisherTest, TargetFollowingABrokenDefaultNeverReadsAsAbsoluteZero) {
  UseCustomClocks(u"DEFAULT", u"DEFAULT");
  blockRequested = true;
  publisher.UpdateBlockingMethod();  // the very first call: the staging entries are all zero
  EXPECT_EQ(EntryAt(field::kCoreTarget), (Entry{1, 1, 0}));
  EXPECT_EQ(EntryAt(field::kMemTarget), (Entry{1, 1, 0}));
}

TEST_F(ClockStatePublisherTest, CustomClocksOffClearsClocksAndSelectedGpus) {
  UseCustomClocks(u"+50", u"1050");
  settings.AddSelectedGpu(u"Radeon RX 480");
  coreClockTarget = u"900";
  memClockTarget = u"-20";
  publisher.UpdateBlockingMethod();

  // Texts that would be errors with custom clocks on are not looked at.
  settings.bUsingCustomClocks.Set(false);
  settings.DefaultClock_Core.Set(u"DEFAULT");
  memClockTarget = u"0x10";
  publisher.UpdateBlockingMethod();

  const std::array<std::uint8_t, field::kEntrySize> stock = {0, 1, 0, 0, 0, 0};
  for (const std::size_t entry :
       {field::kCoreDefault, field::kMemDefault, field::kCoreTarget, field::kMemTarget}) {
    SCOPED_TRACE(entry);
    EXPECT_EQ(std::memcmp(Record() + entry, stock.data(), stock.size()), 0);
  }
  EXPECT_TRUE(ReadGpuTable(Record() + field::kSelectedGpus).empty());
  EXPECT_EQ(ErrorLines(), 0u);
}

TEST_F(ClockStatePublisherTest, CopiesOnlyWhenTheRecordChanges) {
  settings.Watchdog_Polling_Interval_Seconds.Set(10);
  publisher.UpdateBlockingMethod();
  ASSERT_EQ(ClockStateWaits(), 1u);
  EXPECT_EQ(mutexes.accesses.back().second, ClockStatePublisher::kClockStateTimeoutMs);
  EXPECT_EQ(RecordU32(field::kWatchdogSeconds), 10u);

  publisher.UpdateBlockingMethod();
  EXPECT_EQ(ClockStateWaits(), 1u);

  settings.Watchdog_Polling_Interval_Seconds.Set(30);
  publisher.UpdateBlockingMethod();
  EXPECT_EQ(ClockStateWaits(), 2u);
  EXPECT_EQ(RecordU32(field::kWatchdogSeconds), 30u);

  publisher.UpdateBlockingMethod();
  EXPECT_EQ(ClockStateWaits(), 2u);
  EXPECT_TRUE(mutexes.held.empty());
}

TEST_F(ClockStatePublisherTest, MutexTimeOutLeavesTheBlockAndTheNextCallCopies) {
  const std::vector<std::uint8_t> before = memory;
  blockRequested = true;
  mutexes.unavailable.insert(std::u16string(block::kClockStateMutex));
  publisher.UpdateBlockingMethod();
  EXPECT_EQ(ClockStateWaits(), 1u);
  EXPECT_TRUE(memory == before);
  EXPECT_TRUE(LogTexts().empty());

  mutexes.unavailable.clear();
  publisher.UpdateBlockingMethod();
  EXPECT_EQ(ClockStateWaits(), 2u);
  EXPECT_EQ(std::memcmp(Record(), publisher.Staging().data(), field::kSize), 0);
  EXPECT_EQ(RecordU32(field::kState), 0u);
}

TEST_F(ClockStatePublisherTest, RepairsARecordChangedFromOutside) {
  publisher.UpdateBlockingMethod();
  memory[block::kClockState + field::kSelectedGpus + 10] = 0x41;
  publisher.UpdateBlockingMethod();
  EXPECT_EQ(ClockStateWaits(), 2u);
  EXPECT_EQ(std::memcmp(Record(), publisher.Staging().data(), field::kSize), 0);
}

TEST_F(ClockStatePublisherTest, ClosedBlockIsNotTouched) {
  SharedBlock closed(nullptr, mutexes);
  ClockStatePublisher unpublished(closed, Sources());
  blockRequested = true;
  unpublished.UpdateBlockingMethod();
  EXPECT_EQ(ClockStateWaits(), 0u);
  EXPECT_EQ(block::ReadU32(unpublished.Staging().data(), field::kState), 0u);
}

}  // namespace
