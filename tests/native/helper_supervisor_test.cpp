#include "ipc/helper_supervisor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/log.h"
#include "base/text.h"
#include "fakes/fake_named_mutexes.h"
#include "fakes/fake_process_control.h"
#include "ipc/random_token.h"

namespace {

const std::u16string kFolder = u"C:\\Program Files\\Vantreloquin\\";
const std::u16string kComputePath = kFolder + u"Vantreloquin_HelperModule.exe";
const std::u16string kAdlPath = kFolder + u"Vantreloquin_HelperModule_ADL.exe";
const std::u16string kSignaled = u"Signaled terminate helper container...";

using Paths = std::vector<std::u16string>;

// A supervisor over a block in memory and a scripted process table, with
// the stop flags raised as the block's initialisation leaves them.
struct Rig {
  explicit Rig(bool blockOpen = true) : sharedBlock(blockOpen ? memory.data() : nullptr, mutexes) {
    SetProcessLog(&log);
    memory[block::kStopFlagA] = 1;
    memory[block::kStopFlagB] = 1;
  }
  ~Rig() { SetProcessLog(nullptr); }

  // A pass without the pause after each start.
  bool Pass() { return supervisor.RunPass(stopping); }

  // The texts logged since the last call.
  std::vector<std::u16string> NewLog() {
    log.FlushPendingLog();
    std::vector<std::u16string> texts;
    for (; logRead < log.Committed().size(); ++logRead) {
      const std::u16string& line = log.Committed()[logRead];
      texts.push_back(line.substr(line.find(u" >> ") + 4));
    }
    return texts;
  }

  // The paths started since the last call.
  Paths NewStarts() {
    Paths paths;
    const auto starts = processes.Starts();
    for (; startsRead < starts.size(); ++startsRead) {
      paths.push_back(starts[startsRead].path);
    }
    return paths;
  }

  std::vector<int> StopFlags() const {
    return {memory[block::kStopFlagA], memory[block::kStopFlagB]};
  }

  // The helper writes its identity into the block and shows a window.
  void Register(Helper helper, std::uint32_t processId, std::uint32_t window) {
    const bool adl = helper == Helper::Adl;
    block::WriteU32(memory.data(), adl ? block::kAdlProcessId : block::kComputeProcessId,
                    processId);
    block::WriteU32(memory.data(), adl ? block::kAdlWindow : block::kComputeWindow, window);
    for (auto& process : processes.processes) {
      if (process.id == processId) {
        process.window = window;
      }
    }
  }

  std::u16string TokenArea(std::size_t offset) const {
    std::u16string token;
    for (std::size_t i = 0; i < block::kTokenAreaSize / 2; ++i) {
      const char16_t unit = block::ReadUnit(memory.data(), offset + i * 2);
      if (unit == 0) {
        break;
      }
      token.push_back(unit);
    }
    return token;
  }

  // Past the first pass, with the ADL helper it started gone again.
  void SkipFirstPass() {
    Pass();
    processes.processes.clear();
    NewStarts();
    NewLog();
  }

  LogBook log;
  std::size_t logRead = 0;
  std::size_t startsRead = 0;
  std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(block::kSize, 0);
  FakeNamedMutexes mutexes;
  SharedBlock sharedBlock;
  FakeProcessControl processes;
  CriticalSection stateLock;
  std::atomic<bool> blockRequested{false};
  std::atomic<bool> forceDownclockRequested{false};
  std::atomic<std::uint32_t> blockingMethod{0};
  std::atomic<int> methodReads{0};
  DispatcherWake wake;
  HelperSupervisor supervisor{
      sharedBlock, processes, kFolder, wake,
      SupervisorSources{stateLock, blockRequested, forceDownclockRequested, [this] {
                          ++methodReads;
                          return blockingMethod.load();
                        }}};
  Event stopping{Event::ResetMode::Manual, true};
};

}  // namespace

TEST(BuildCommandLineTest, FileNameThenArgumentsQuotedAsTheRuntimeSplitsThem) {
  struct Case {
    std::u16string path;
    std::vector<std::u16string> arguments;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"C:\\Program Files\\My App.exe", {u"two words"}, u"My App.exe \"two words\""},
      {u"C:\\a\\b.exe", {}, u"b.exe"},
      {u"b.exe", {u""}, u"b.exe \"\""},
      {u"C:\\a\\b.exe", {u"/c", u"C:\\plain\\", u"x\\\\y"}, u"b.exe /c C:\\plain\\ x\\\\y"},
      // Trailing backslashes are doubled inside the quotes.
      {u"C:\\a\\b.exe", {u"C:\\Some Folder\\"}, u"b.exe \"C:\\Some Folder\\\\\""},
      {u"C:\\a\\b.exe", {u"x y\\\\\\"}, u"b.exe \"x y\\\\\\\\\\\\\""},
      // Backslashes before a quote: 2n + 1; before anything else: as they are.
      {u"C:\\a\\b.exe", {u"say \"hi\""}, u"b.exe \"say \\\"hi\\\"\""},
      {u"C:\\a\\b.exe", {u"a\\\\\"b"}, u"b.exe \"a\\\\\\\\\\\"b\""},
      {u"C:\\a\\b.exe", {u"C:\\dir name\\x"}, u"b.exe \"C:\\dir name\\x\""},
      {u"C:\\a\\b.exe",
       {u"a\tb", u"a\nb", u"a\vb", u"a\rb"},
       u"b.exe \"a\tb\" \"a\nb\" \"a\vb\" a\rb"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildCommandLine(c.path, c.arguments), c.expected) << Utf16ToUtf8(c.expected);
  }
}

TEST(BuildCommandLineTest, WaitSecondsInUnsigned32BitMilliseconds) {
  EXPECT_EQ(ProcessWaitMilliseconds(0), 0u);
  EXPECT_EQ(ProcessWaitMilliseconds(30), 30000u);
  EXPECT_EQ(ProcessWaitMilliseconds(4294967295u), 4294966296u);
}

TEST(HelperSupervisorTest, FirstPassStartsAdlHelperThenIdlePassesRaiseStopFlagsOnce) {
  Rig rig;
  EXPECT_FALSE(rig.Pass());
  EXPECT_EQ(rig.NewStarts(), Paths{kAdlPath});
  EXPECT_EQ(rig.StopFlags(), (std::vector<int>{0, 0}));
  EXPECT_EQ(rig.NewLog(), Paths{u"ExecuteProcess [ADL Helper] -- success [0]"});

  const auto start = rig.processes.Starts().front();
  EXPECT_EQ(start.waitSeconds, 0u);
  EXPECT_FALSE(start.noWindow);
  ASSERT_EQ(start.arguments.size(), 1u);
  EXPECT_EQ(start.arguments[0].size(), kTokenLength);
  EXPECT_EQ(start.arguments[0], rig.TokenArea(block::kAdlToken)) << "the token the helper finds";

  rig.Pass();
  EXPECT_EQ(rig.NewLog(), Paths{kSignaled});
  EXPECT_EQ(rig.StopFlags(), (std::vector<int>{1, 1}));
  rig.Pass();
  rig.Pass();
  EXPECT_EQ(rig.NewLog(), Paths{});
  EXPECT_EQ(rig.NewStarts(), Paths{});
}

TEST(HelperSupervisorTest, FirstPassStartsOnlyTheAdlHelperEvenWhileBlocking) {
  Rig rig;
  rig.blockRequested = true;
  rig.blockingMethod = 0;
  rig.Pass();
  EXPECT_EQ(rig.NewStarts(), Paths{kAdlPath});
  rig.Pass();
  EXPECT_EQ(rig.NewStarts(), Paths{kComputePath});
}

TEST(HelperSupervisorTest, BlockingPassStartsTheHelpersOfTheMethodAndLowersStopFlags) {
  struct Case {
    std::uint32_t method;
    bool forceDownclock;
    Paths started;
  };
  const Case cases[] = {
      {0, false, {kComputePath}},
      {1, false, {kComputePath}},
      {2, false, {kAdlPath}},
      {3, false, {kComputePath, kAdlPath}},
      {7, false, {}},
      {0, true, {kAdlPath}},
      {3, true, {kAdlPath}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "method " << c.method << ", force " << c.forceDownclock);
    Rig rig;
    rig.SkipFirstPass();
    rig.memory[block::kStopFlagA] = 1;
    rig.memory[block::kStopFlagB] = 1;
    rig.blockRequested = true;  // a forced downclock is a block decision too
    rig.forceDownclockRequested = c.forceDownclock;
    rig.blockingMethod = c.method;
    rig.Pass();
    EXPECT_EQ(rig.NewStarts(), c.started);
    EXPECT_EQ(rig.StopFlags(), (std::vector<int>{0, 0}));
  }
}

TEST(HelperSupervisorTest, ComputeHelperStartedOnceKeptWhileRegisteredAndRestartedWhenGone) {
  Rig rig;
  rig.SkipFirstPass();
  rig.blockRequested = true;
  rig.Pass();
  EXPECT_EQ(rig.NewStarts(), Paths{kComputePath});
  EXPECT_EQ(rig.NewLog(), Paths{u"ExecuteProcess [Compute Helper] -- success [0]"});
  const std::uint32_t helperId = rig.processes.processes.back().id;

  rig.Pass();  // started, not registered yet
  EXPECT_EQ(rig.NewStarts(), Paths{});
  rig.Register(Helper::Compute, helperId, 0x1234);
  rig.Pass();
  rig.Pass();
  EXPECT_EQ(rig.NewStarts(), Paths{});
  EXPECT_EQ(rig.NewLog(), Paths{});

  rig.processes.processes.clear();  // the helper crashed
  rig.Pass();
  EXPECT_EQ(rig.NewStarts(), Paths{kComputePath});
  EXPECT_EQ(rig.processes.Starts().back().arguments, Paths{rig.TokenArea(block::kComputeToken)});
}

TEST(HelperSupervisorTest, WhichRunningProcessKeepsTheComputeHelperFromStarting) {
  const std::u16string otherFolder = u"D:\\Old\\Vantreloquin_HelperModule.exe";
  struct Case {
    const char* what;
    std::u16string path;
    bool registerAsCompute;
    bool started;
  };
  const Case cases[] = {
      {"started from the program folder, not registered", kComputePath, false, false},
      {"path differs in letter case",
       u"c:\\program files\\vantreloquin\\"
       u"Vantreloquin_HelperModule.exe",
       false, true},
      {"another folder, not registered", otherFolder, false, true},
      {"another folder, registered", otherFolder, true, false},
      {"the ADL helper registered in the compute fields", kAdlPath, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig;
    rig.SkipFirstPass();
    rig.processes.processes.push_back({7, c.path, 0});
    if (c.registerAsCompute) {
      rig.Register(Helper::Compute, 7, 0x4321);
    }
    rig.blockRequested = true;
    rig.Pass();
    EXPECT_EQ(rig.NewStarts(), c.started ? Paths{kComputePath} : Paths{});
  }
}

TEST(HelperSupervisorTest, RegisteredHelpersAreTestedThroughTheirOwnBlockFields) {
  Rig rig;
  rig.SkipFirstPass();
  rig.processes.processes = {{20, u"D:\\x\\Vantreloquin_HelperModule.exe", 0},
                             {21, u"D:\\x\\Vantreloquin_HelperModule_ADL.exe", 0}};
  rig.Register(Helper::Compute, 20, 0x200);
  rig.Register(Helper::Adl, 21, 0x210);
  rig.blockRequested = true;
  rig.blockingMethod = 3;
  rig.Pass();
  EXPECT_EQ(rig.NewStarts(), Paths{});
}

TEST(HelperSupervisorTest, FailedStartIsLoggedWithItsCodeOnEveryPass) {
  Rig rig;
  rig.processes.startResult = 2;
  rig.blockRequested = true;
  rig.Pass();
  EXPECT_EQ(rig.NewLog(), Paths{u"ExecuteProcess [ADL Helper] -- failed [2]"});
  for (int pass = 0; pass < 3; ++pass) {
    rig.Pass();
    EXPECT_EQ(rig.NewLog(), Paths{u"ExecuteProcess [Compute Helper] -- failed [2]"});
  }
}

TEST(HelperSupervisorTest, BusyTokenMutexOrClosedBlockStartsNothing) {
  {
    Rig rig;
    rig.mutexes.unavailable.insert(std::u16string(block::kSharedMsgMutex));
    rig.Pass();
    EXPECT_EQ(rig.NewStarts(), Paths{});
    EXPECT_EQ(rig.NewLog(), Paths{});
    rig.mutexes.unavailable.clear();
    rig.blockRequested = true;
    rig.Pass();
    EXPECT_EQ(rig.NewStarts(), Paths{kComputePath}) << "the next pass tries again";
  }
  {
    Rig rig(/*blockOpen=*/false);
    rig.Pass();
    rig.blockRequested = true;
    rig.Pass();
    rig.blockRequested = false;
    rig.Pass();
    EXPECT_EQ(rig.NewStarts(), Paths{});
    EXPECT_EQ(rig.NewLog(), Paths{});
  }
}

TEST(HelperSupervisorTest, StartsHappenUnderTheStateLock) {
  Rig rig;
  std::vector<bool> lockHeld;
  rig.processes.onExecute = [&] { lockHeld.push_back(rig.stateLock.IsOwnedByCurrentThread()); };
  rig.Pass();
  rig.blockRequested = true;
  rig.Pass();
  EXPECT_EQ(lockHeld, (std::vector<bool>{true, true}));
}

TEST(HelperSupervisorTest, EachWakeBuysOneImmediatePassAtMostTwo) {
  Rig rig;
  EXPECT_FALSE(rig.Pass()) << "the event is created set, but no wake is pending";
  rig.wake.WakeDispatcher();
  rig.wake.WakeDispatcher();
  rig.wake.WakeDispatcher();
  EXPECT_TRUE(rig.Pass());
  EXPECT_TRUE(rig.Pass());
  EXPECT_FALSE(rig.Pass());

  rig.wake.WakeDispatcher();
  rig.wake.ResetDispatcherWake();
  EXPECT_FALSE(rig.Pass());
}

TEST(HelperSupervisorTest, StartAttemptPausesOnTheStopSignal) {
  Rig rig;
  rig.processes.startResult = 2;
  Event running{Event::ResetMode::Manual, false};
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_FALSE(rig.supervisor.EnsureHelperRunning(Helper::Adl, running));
  EXPECT_GE(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(190));
}

TEST(HelperSupervisorTest, DispatcherRepeatsPassesUntilStopped) {
  Rig rig;
  Event stop{Event::ResetMode::Manual, true};
  rig.supervisor.HelperDispatcher(stop);
  EXPECT_EQ(rig.NewStarts(), Paths{}) << "a set stop signal ends the job before any pass";

  stop.Reset();
  rig.blockRequested = true;
  rig.blockingMethod = 7;  // nothing to start: every pass reads the method once
  std::thread dispatcher([&] { rig.supervisor.HelperDispatcher(stop); });
  std::this_thread::sleep_for(std::chrono::milliseconds(1300));
  const auto stopAt = std::chrono::steady_clock::now();
  stop.Set();
  dispatcher.join();
  EXPECT_LT(std::chrono::steady_clock::now() - stopAt, std::chrono::milliseconds(400));
  // The first pass starts the ADL helper; then a pass about every 500 ms.
  EXPECT_EQ(rig.NewStarts(), Paths{kAdlPath});
  EXPECT_GE(rig.methodReads.load(), 2);
  EXPECT_LE(rig.methodReads.load(), 4);
}
