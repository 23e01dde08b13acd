#include "helpers/helper_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>
#include <vector>

#include "base/text.h"
#include "fakes/fake_named_mutexes.h"
#include "fakes/memory_log_area.h"
#include "ipc/shared_block_layout.h"

namespace {

constexpr std::uint32_t kOwnPid = 4242;
constexpr std::uint32_t kOwnWindow = 0x10A2C;
constexpr std::uint32_t kAppPid = 777;
const std::u16string kComputeToken(256, u'c');
const std::u16string kAdlToken = std::u16string(255, u'a') + u'Z';

class FakeHost : public HelperHost {
 public:
  std::uint32_t ProcessId() const override { return kOwnPid; }
  std::uint32_t Window() const override { return kOwnWindow; }
  bool ProcessRuns(std::uint32_t processId) override { return running.count(processId) > 0; }
  std::uint64_t NowMs() override { return 1000 + 200 * static_cast<std::uint64_t>(waits); }
  // The script runs in the gap after pass n (1 for the first). A run that
  // never ends is cut off as if the system closed the helper.
  bool WaitForNextPass(std::uint32_t) override {
    ++waits;
    if (script) {
      script(waits);
    }
    return !closeRequested && waits < 50;
  }

  std::set<std::uint32_t> running{kAppPid};
  std::function<void(int)> script;
  bool closeRequested = false;
  int waits = 0;
};

class FakeDisplayLibrary : public DisplayLibrary {
 public:
  std::optional<std::vector<std::u16string>> ListGpus() override { return gpus; }
  std::vector<GpuDevice*> Devices() override { return {}; }
  std::vector<std::u16string> Notes() override { return {}; }
  std::optional<std::vector<std::u16string>> gpus;
};

// Records what the session hands to the helper's follower.
class RecordingFollower : public ClockFollower {
 public:
  void Follow(const ClockPlan& plan, std::uint64_t nowMs, LogArea&) override {
    calls.push_back(Call{plan.state, nowMs, restored});
  }
  void Restore(LogArea&) override {
    ++restored;
    if (onRestore) {
      onRestore();
    }
  }

  struct Call {
    std::uint32_t state;
    std::uint64_t nowMs;
    int restoredBefore;
  };
  std::vector<Call> calls;
  int restored = 0;
  std::function<void()> onRestore;
};

// A block as the application leaves it when it starts a helper, and the
// helper's surroundings.
struct Rig {
  Rig() {
    const auto header = EncodedHeader();
    std::memcpy(Bytes(), header.data(), header.size());
    WriteUnits(block::kComputeToken, kComputeToken);
    WriteUnits(block::kAdlToken, kAdlToken);
    block::WriteU32(Bytes(), block::kAppProcessId, kAppPid);
    block::WriteU32(Bytes() + block::kClockState, block::clock::kState, 2);
    for (std::size_t entry : {block::clock::kCoreDefault, block::clock::kMemDefault,
                              block::clock::kCoreTarget, block::clock::kMemTarget}) {
      WriteEntry(entry, 0, 1, 0);
    }
  }

  std::uint8_t* Bytes() { return memory.data(); }
  std::uint32_t U32(std::size_t offset) { return block::ReadU32(Bytes(), offset); }
  void WriteUnits(std::size_t offset, const std::u16string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      block::WriteUnit(Bytes(), offset + i * 2, text[i]);
    }
  }
  void WriteEntry(std::size_t entry, std::uint8_t custom, std::uint8_t relative,
                  std::int32_t value) {
    std::uint8_t* at = Bytes() + block::kClockState + entry;
    at[block::clock::kEntryCustom] = custom;
    at[block::clock::kEntryRelative] = relative;
    block::WriteU32(at, block::clock::kEntryValue, static_cast<std::uint32_t>(value));
  }
  void Unavailable(std::u16string_view mutex) { mutexes.unavailable.insert(std::u16string(mutex)); }
  void Available(std::u16string_view mutex) { mutexes.unavailable.erase(std::u16string(mutex)); }

  HelperSession Session(Helper helper) {
    return HelperSession(helper, Bytes(), mutexes, host, helper == Helper::Adl ? &library : nullptr,
                         &follower);
  }
  // Admitted with the right token, then run to its end.
  int Run(Helper helper) {
    HelperSession session = Session(helper);
    EXPECT_TRUE(session.Admit(helper == Helper::Adl ? kAdlToken : kComputeToken));
    return session.Run();
  }

  // The log area as the application would drain it.
  std::vector<std::u16string> LogLines() {
    std::u16string text;
    for (std::uint32_t i = 0; i < U32(block::kLogLength); ++i) {
      text.push_back(block::ReadUnit(Bytes(), block::kLogText + i * 2));
    }
    EXPECT_TRUE(text.empty() || text.ends_with(u"\r\n"));
    return Split(text, u"\r\n", 0, true);
  }
  int CountLines(std::u16string_view part) { return CountLinesWith(LogLines(), part); }

  std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(block::kSize, 0);
  FakeNamedMutexes mutexes;
  FakeHost host;
  FakeDisplayLibrary library;
  RecordingFollower follower;
};

}  // namespace

TEST(HelperSessionTest, AdmitsOnlyTheApplicationsBlockWithTheHelpersOwnToken) {
  struct Case {
    const char* name;
    Helper helper;
    std::u16string token;
    std::function<void(Rig&)> change;
    bool admitted;
  };
  const Case cases[] = {
      {"compute token", Helper::Compute, kComputeToken, nullptr, true},
      {"ADL token", Helper::Adl, kAdlToken, nullptr, true},
      {"the other helper's token", Helper::Compute, kAdlToken, nullptr, false},
      {"one unit short", Helper::Adl, kAdlToken.substr(0, 255), nullptr, false},
      {"one unit more", Helper::Compute, kComputeToken + u'c', nullptr, false},
      {"empty token, empty area", Helper::Compute, u"",
       [](Rig& rig) { std::memset(rig.Bytes() + block::kComputeToken, 0, block::kTokenAreaSize); },
       false},
      {"last header byte differs", Helper::Compute, kComputeToken,
       [](Rig& rig) { rig.Bytes()[block::kHeaderSize - 1] ^= 1; }, false},
      {"token mutex held elsewhere", Helper::Adl, kAdlToken,
       [](Rig& rig) { rig.Unavailable(block::kSharedMsgMutex); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    if (c.change) {
      c.change(rig);
    }
    const std::vector<std::uint8_t> before = rig.memory;
    EXPECT_EQ(rig.Session(c.helper).Admit(c.token), c.admitted);
    EXPECT_TRUE(rig.memory == before) << "admission writes nothing";
  }
}

TEST(HelperSessionTest, RegistersItsOwnIdentityWhileRunningAndClearsItAtTheEnd) {
  struct Case {
    Helper helper;
    std::size_t processId, window, otherProcessId;
  };
  const Case cases[] = {
      {Helper::Compute, block::kComputeProcessId, block::kComputeWindow, block::kAdlProcessId},
      {Helper::Adl, block::kAdlProcessId, block::kAdlWindow, block::kComputeProcessId},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(HelperName(c.helper)));
    Rig rig;
    rig.host.script = [&](int) {
      EXPECT_EQ(rig.U32(c.processId), kOwnPid);
      EXPECT_EQ(rig.U32(c.window), kOwnWindow);
      EXPECT_EQ(rig.U32(c.otherProcessId), 0u);
      rig.Bytes()[block::kStopFlagA] = 1;
    };
    EXPECT_EQ(rig.Run(c.helper), 0);
    EXPECT_EQ(rig.host.waits, 1);
    EXPECT_EQ(rig.U32(c.processId), 0u);
    EXPECT_EQ(rig.U32(c.window), 0u);
  }
}

TEST(HelperSessionTest, DoesNotRegisterWhenANewerTokenArrivedAfterAdmission) {
  Rig rig;
  HelperSession session = rig.Session(Helper::Compute);
  ASSERT_TRUE(session.Admit(kComputeToken));
  rig.WriteUnits(block::kComputeToken, std::u16string(256, u'n'));
  EXPECT_EQ(session.Run(), 1);
  EXPECT_EQ(rig.U32(block::kComputeProcessId), 0u);
  EXPECT_EQ(rig.host.waits, 0);
}

TEST(HelperSessionTest, EndsAtThePassAfterItsReasonAppears) {
  struct Case {
    const char* name;
    std::function<void(Rig&)> reason;
    const char16_t* lastLine;
    std::uint32_t processIdAfter;
  };
  const Case cases[] = {
      {"stop flag A", [](Rig& rig) { rig.Bytes()[block::kStopFlagA] = 1; },
       u"[Compute Helper] stopping: stop flag raised", 0},
      {"stop flag B", [](Rig& rig) { rig.Bytes()[block::kStopFlagB] = 1; },
       u"[Compute Helper] stopping: stop flag raised", 0},
      {"application gone", [](Rig& rig) { rig.host.running.clear(); },
       u"[Compute Helper] stopping: the application (process 777) has ended", 0},
      {"newer copy registered",
       [](Rig& rig) { block::WriteU32(rig.Bytes(), block::kComputeProcessId, 5000); },
       u"[Compute Helper] stopping: no longer registered (the block names process 5000)", 5000},
      {"system closes it", [](Rig& rig) { rig.host.closeRequested = true; },
       u"[Compute Helper] stopping: the system asked the helper to close", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.host.script = [&](int pass) {
      if (pass == 3) {
        c.reason(rig);
      }
    };
    EXPECT_EQ(rig.Run(Helper::Compute), 0);
    EXPECT_EQ(rig.host.waits, 3);
    ASSERT_FALSE(rig.LogLines().empty());
    EXPECT_EQ(Utf16ToUtf8(rig.LogLines().back()), Utf16ToUtf8(c.lastLine));
    EXPECT_EQ(rig.U32(block::kComputeProcessId), c.processIdAfter);
  }
}

TEST(HelperSessionTest, StopFlagRaisedBeforeStartEndsBeforeTheFirstWait) {
  Rig rig;
  rig.Bytes()[block::kStopFlagB] = 1;
  EXPECT_EQ(rig.Run(Helper::Adl), 0);
  EXPECT_EQ(rig.host.waits, 0);
  EXPECT_EQ(rig.CountLines(u"stopping: stop flag raised"), 1);
}

TEST(HelperSessionTest, LogsTheClockStateOncePerChange) {
  Rig rig;
  rig.host.script = [&](int pass) {
    switch (pass) {
      case 2:
        block::WriteU32(rig.Bytes() + block::kClockState, block::clock::kState, 0);
        rig.WriteEntry(block::clock::kCoreTarget, 1, 1, 50);
        WriteGpuTable(rig.Bytes() + block::kClockState + block::clock::kSelectedGpus,
                      {u"RADEON RX 7900"});
        break;
      case 4:
        block::WriteU32(rig.Bytes() + block::kClockState, block::clock::kWatchdogSeconds, 5);
        break;
      case 6:
        rig.Bytes()[block::kStopFlagA] = 1;
        break;
    }
  };
  EXPECT_EQ(rig.Run(Helper::Compute), 0);
  std::vector<std::string> lines;
  for (const std::u16string& line : rig.LogLines()) {
    lines.push_back(Utf16ToUtf8(line));
  }
  const std::vector<std::string> expected = {
      "[Compute Helper] started (process 4242) for the application (process 777)",
      "[Compute Helper] clock state received: to stay idle: blocking method 0 (reliable compute), "
      "state 2 (no "
      "control), core default, memory default (user defaults: core default, memory default), "
      "GPUs: none",
      "[Compute Helper] device polling off",
      "[Compute Helper] clock state received: to hold the clocks up with a compute load: blocking "
      "method 0 (reliable "
      "compute), state 0 (hold clocks up), core +50 MHz offset, memory default (user defaults: "
      "core default, memory default), GPUs: RADEON RX 7900",
      "[Compute Helper] device polling every 5 s",
      "[Compute Helper] stopping: stop flag raised",
  };
  EXPECT_EQ(lines, expected);
}

TEST(HelperSessionTest, ClockStateIsReadOnlyUnderItsMutex) {
  Rig rig;
  rig.Unavailable(block::kClockStateMutex);
  rig.host.script = [&](int pass) {
    EXPECT_EQ(rig.CountLines(u"device polling off"), pass >= 3 ? 1 : 0) << "pass " << pass;
    if (pass == 2) {
      rig.Available(block::kClockStateMutex);
    }
    if (pass == 4) {
      rig.Bytes()[block::kStopFlagA] = 1;
    }
  };
  EXPECT_EQ(rig.Run(Helper::Compute), 0);
}

TEST(HelperSessionTest, FollowerGetsEveryPassAndRestoresOnceBeforeTheHelperUnregisters) {
  Rig rig;
  rig.follower.onRestore = [&] {
    EXPECT_EQ(rig.U32(block::kAdlProcessId), kOwnPid) << "restores while still registered";
  };
  rig.host.script = [&](int pass) {
    if (pass == 2) {
      block::WriteU32(rig.Bytes() + block::kClockState, block::clock::kState, 0);
      rig.Unavailable(block::kClockStateMutex);
    }
    if (pass == 3) {
      rig.Available(block::kClockStateMutex);
    }
    if (pass == 4) {
      rig.Bytes()[block::kStopFlagB] = 1;
    }
  };
  EXPECT_EQ(rig.Run(Helper::Adl), 0);
  // The record was held by the application during pass 3: the last one read
  // is followed again.
  const std::vector<std::uint32_t> states = {2, 2, 2, 0};
  ASSERT_EQ(rig.follower.calls.size(), states.size());
  for (std::size_t i = 0; i < states.size(); ++i) {
    EXPECT_EQ(rig.follower.calls[i].state, states[i]) << "pass " << i + 1;
    EXPECT_EQ(rig.follower.calls[i].nowMs, 1000 + 200 * i);
    EXPECT_EQ(rig.follower.calls[i].restoredBefore, 0);
  }
  EXPECT_EQ(rig.follower.restored, 1);
  EXPECT_EQ(rig.U32(block::kAdlProcessId), 0u);
}

TEST(HelperSessionTest, DescribesEachHelpersPartInPlainWords) {
  struct Case {
    Helper helper;
    std::uint32_t method, state;
    ClockEntry core, memory;
    const char16_t* start;
  };
  const ClockEntry none{};
  const Case cases[] = {
      {Helper::Compute,
       1,
       0,
       {true, true, -30},
       {true, false, 1500},
       u"to hold the clocks up with a compute load: blocking method 1 (alternate compute), "
       u"state 0 (hold clocks up), core -30 MHz offset, memory 1500 MHz"},
      {Helper::Compute, 2, 0, none, none,
       u"to stay idle: blocking method 2 (ADL), state 0 (hold clocks up), core default"},
      {Helper::Adl,
       3,
       0,
       {true, true, 0},
       none,
       u"to hold the clocks up through ADL: blocking method 3 (combined ADL and compute), "
       u"state 0 (hold clocks up), core +0 MHz offset"},
      {Helper::Adl, 0, 1, none, none,
       u"to force the clocks down: blocking method 0 (reliable compute), state 1 (force "
       u"downclock)"},
      {Helper::Adl, 7, 2, none, none,
       u"to leave the clocks alone: blocking method 7 (unknown), state 2 (no control)"},
  };
  for (const Case& c : cases) {
    ClockPlan plan;
    plan.blockingMethod = c.method;
    plan.state = c.state;
    plan.coreTarget = c.core;
    plan.memTarget = c.memory;
    const std::u16string text = DescribeClockPlan(c.helper, plan);
    EXPECT_TRUE(text.starts_with(c.start)) << Utf16ToUtf8(text);
  }
}

TEST(HelperSessionTest, AdlHelperPublishesAnEmptyListOnceWhenTheLibraryIsMissing) {
  Rig rig;
  WriteGpuTable(rig.Bytes() + block::kAvailableGpus, {u"Stale GPU"});
  rig.Unavailable(block::kMainMutex);
  rig.host.script = [&](int pass) {
    const bool published = ReadGpuTable(rig.Bytes() + block::kAvailableGpus).empty();
    EXPECT_EQ(published, pass >= 3) << "written only under the main mutex; pass " << pass;
    if (pass == 2) {
      rig.Available(block::kMainMutex);
    }
    if (pass == 4) {
      rig.Bytes()[block::kStopFlagA] = 1;
    }
  };
  EXPECT_EQ(rig.Run(Helper::Adl), 0);
  EXPECT_TRUE(ReadGpuTable(rig.Bytes() + block::kAvailableGpus).empty());
  EXPECT_EQ(rig.CountLines(u"[ADL Helper] AMD Display Library (atiadlxx.dll) is not available"), 1);
}

TEST(HelperSessionTest, OnlyTheAdlHelperWritesTheGpusItFound) {
  for (Helper helper : {Helper::Compute, Helper::Adl}) {
    Rig rig;
    WriteGpuTable(rig.Bytes() + block::kAvailableGpus, {u"Stale GPU"});
    rig.library.gpus = std::vector<std::u16string>{u"RADEON RX 7900", u"RADEON RX 6600"};
    rig.Bytes()[block::kStopFlagA] = 1;
    EXPECT_EQ(rig.Run(helper), 0);
    const std::vector<std::u16string> expected =
        helper == Helper::Adl ? *rig.library.gpus : std::vector<std::u16string>{u"Stale GPU"};
    EXPECT_EQ(ReadGpuTable(rig.Bytes() + block::kAvailableGpus), expected);
  }
}

TEST(LogAreaTest, AppendsAfterTheWaitingTextAndAdvancesTheLength) {
  Rig rig;
  rig.WriteUnits(block::kLogText, u"earlier\r\n");
  block::WriteU32(rig.Bytes(), block::kLogLength, 9);
  LogArea log(rig.Bytes(), rig.mutexes, u"[ADL Helper] ");
  log.Add(u"one");
  log.Add(u"two");
  log.Flush();
  EXPECT_EQ(rig.LogLines(),
            (std::vector<std::u16string>{u"earlier", u"[ADL Helper] one", u"[ADL Helper] two"}));
  EXPECT_EQ(rig.U32(block::kLogLength), 9u + 2 * 18);
}

TEST(LogAreaTest, KeepsItsLinesWhileTheLogMutexIsHeldElsewhere) {
  Rig rig;
  LogArea log(rig.Bytes(), rig.mutexes, u"[X] ");
  rig.Unavailable(block::kLogMutex);
  log.Add(u"first");
  log.Flush();
  EXPECT_EQ(rig.U32(block::kLogLength), 0u);
  rig.Available(block::kLogMutex);
  log.Add(u"second");
  log.Flush();
  EXPECT_EQ(rig.LogLines(), (std::vector<std::u16string>{u"[X] first", u"[X] second"}));
}

TEST(LogAreaTest, NeverWritesPastTheEndOfTheArea) {
  // "[X] a" and CR LF: 7 units a line.
  struct Case {
    const char* name;
    std::uint32_t waiting;
    int lines;
    std::uint32_t lengthAfter;
  };
  const std::uint32_t end = block::kLogTextUnits;
  const Case cases[] = {
      {"room for exactly two", end - 14, 3, end},
      {"room for one and a half", end - 10, 3, end - 3},
      {"room for none", end - 6, 1, end - 6},
      {"full", end, 2, end},
      {"length beyond the area", end + 100, 2, end + 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    block::WriteU32(rig.Bytes(), block::kLogLength, c.waiting);
    std::memset(rig.Bytes() + block::kAdlProcessId, 0xAB, 8);
    LogArea log(rig.Bytes(), rig.mutexes, u"[X] ");
    for (int i = 0; i < c.lines; ++i) {
      log.Add(u"a");
    }
    log.Flush();
    EXPECT_EQ(rig.U32(block::kLogLength), c.lengthAfter);
    EXPECT_EQ(rig.U32(block::kAdlProcessId), 0xABABABABu);
    EXPECT_EQ(rig.U32(block::kAdlWindow), 0xABABABABu);
  }
}
