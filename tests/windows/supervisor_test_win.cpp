// The helper supervisor on Windows with the real helper executables and the
// real shared block: starting, registering, restarting, failing to start,
// stopping, and abandoned mutexes.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "app/log.h"
#include "base/wide_win.h"
#include "fakes/log_capture.h"
#include "ipc/helper_supervisor.h"
#include "ipc/ipc_listener.h"
#include "ipc/named_mutex_win.h"
#include "ipc/process_control_win.h"
#include "ipc/shared_segment_win.h"
#include "test_support_win.h"

namespace {

constexpr DWORD kHelperTimeoutMs = 15000;

class SupervisorWinTest : public ::testing::Test {
 protected:
  SupervisorWinTest() {
    bytes = segment.View();
    sharedBlock.INIT_SharedMem(0, GetCurrentProcessId());
  }
  ~SupervisorWinTest() override {
    supervisor.SignalHelpersToStop();
    // Helpers see the raised flags and end on their own.
    WaitUntil(
        [&] {
          return !processes.IsHelperAlive(Id(Helper::Compute), Window(Helper::Compute),
                                          kComputeHelperFileName) &&
                 !processes.IsHelperAlive(Id(Helper::Adl), Window(Helper::Adl), kAdlHelperFileName);
        },
        kHelperTimeoutMs);
  }

  std::uint32_t Id(Helper helper) const {
    return block::ReadU32(bytes,
                          helper == Helper::Adl ? block::kAdlProcessId : block::kComputeProcessId);
  }
  std::uint32_t Window(Helper helper) const {
    return block::ReadU32(bytes, helper == Helper::Adl ? block::kAdlWindow : block::kComputeWindow);
  }
  bool Registered(Helper helper) {
    return processes.IsHelperAlive(
        Id(helper), Window(helper),
        helper == Helper::Adl ? kAdlHelperFileName : kComputeHelperFileName);
  }
  std::vector<std::u16string> LogTexts() { return log.Texts(); }
  std::size_t Count(const std::u16string& text) {
    const auto texts = LogTexts();
    return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), text));
  }
  // Runs passes, as the dispatcher does, until the condition holds.
  bool PassUntil(const std::function<bool()>& condition) {
    return WaitUntil(
        [&] {
          supervisor.RunPass(stopSignal);
          return condition();
        },
        kHelperTimeoutMs);
  }

  LogCapture log;
  SharedSegment segment{std::u16string(block::kSegmentName), -1};
  std::uint8_t* bytes = nullptr;
  Win32NamedMutexes mutexes;
  SharedBlock sharedBlock{segment.View(), mutexes};
  Win32ProcessControl processes;
  DispatcherWake wake;
  CriticalSection stateLock;
  std::atomic<bool> blockRequested{true};
  std::atomic<bool> forceDownclockRequested{false};
  std::atomic<std::uint32_t> method{0};
  std::u16string programFolder = FromWide(ExecutableFolder());
  HelperSupervisor supervisor{sharedBlock, processes, programFolder, wake,
                              SupervisorSources{stateLock, blockRequested, forceDownclockRequested,
                                                [this] { return method.load(); }}};
  Event stopSignal{Event::ResetMode::Manual, false};
};

// Ends a thread while it owns the named mutex, which abandons it.
void AbandonMutex(std::u16string_view name) {
  std::thread([name] {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, AsWide(std::u16string(name)));
    WaitForSingleObject(mutex, INFINITE);
  }).join();
}

}  // namespace

TEST_F(SupervisorWinTest, ComputeHelperStartsOnceRegistersAndComesBackWhenKilled) {
  supervisor.RunPass(stopSignal);  // the first pass is the ADL helper's
  ASSERT_TRUE(PassUntil([&] { return Registered(Helper::Compute); }));
  EXPECT_EQ(Count(u"ExecuteProcess [Compute Helper] -- success [0]"), 1u);
  for (int pass = 0; pass < 3; ++pass) {
    supervisor.RunPass(stopSignal);
  }
  EXPECT_EQ(Count(u"ExecuteProcess [Compute Helper] -- success [0]"), 1u) << "not started again";

  const std::uint32_t firstId = Id(Helper::Compute);
  HANDLE helper = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, Id(Helper::Compute));
  ASSERT_NE(helper, nullptr);
  TerminateProcess(helper, 1);
  WaitForSingleObject(helper, 5000);
  CloseHandle(helper);
  const ULONGLONG killedAt = GetTickCount64();
  ASSERT_TRUE(PassUntil([&] { return Registered(Helper::Compute); }));
  EXPECT_LT(GetTickCount64() - killedAt, 10000u);
  // A token issued again (tokens of the same second may be equal) and a new
  // process that showed it.
  EXPECT_EQ(Count(u"ExecuteProcess [Compute Helper] -- success [0]"), 2u);
  EXPECT_NE(Id(Helper::Compute), firstId);
}

TEST_F(SupervisorWinTest, HelpersLogThroughTheListenerAndStopOnTheFlags) {
  method = 3;
  IpcListener listener(sharedBlock);
  ASSERT_TRUE(PassUntil([&] { return Registered(Helper::Compute) && Registered(Helper::Adl); }));
  blockRequested = false;
  supervisor.RunPass(stopSignal);
  EXPECT_EQ(Count(u"Signaled terminate helper container..."), 1u);
  EXPECT_TRUE(WaitUntil([&] { return !Registered(Helper::Compute) && !Registered(Helper::Adl); },
                        kHelperTimeoutMs));
  EXPECT_TRUE(WaitUntil(
      [&] {
        listener.DrainOnce();
        const auto texts = LogTexts();
        return std::any_of(
                   texts.begin(), texts.end(),
                   [](const std::u16string& t) { return t.starts_with(u"[Compute Helper] "); }) &&
               std::any_of(texts.begin(), texts.end(),
                           [](const std::u16string& t) { return t.starts_with(u"[ADL Helper] "); });
      },
      kHelperTimeoutMs))
      << "each helper's lines arrive as log lines of their own";
}

TEST_F(SupervisorWinTest, MissingHelperFileLogsTheFailureWithCodeTwoOnEveryPass) {
  HelperSupervisor elsewhere(
      sharedBlock, processes, FromWide(MakeScratchFolder(L"no_helpers")), wake,
      SupervisorSources{stateLock, blockRequested, forceDownclockRequested, [] { return 0u; }});
  elsewhere.RunPass(stopSignal);  // the ADL helper's first pass
  elsewhere.RunPass(stopSignal);
  elsewhere.RunPass(stopSignal);
  EXPECT_EQ(Count(u"ExecuteProcess [ADL Helper] -- failed [2]"), 1u);
  EXPECT_EQ(Count(u"ExecuteProcess [Compute Helper] -- failed [2]"), 2u);
}

TEST_F(SupervisorWinTest, AbandonedMutexesBlockNeitherTheSupervisorNorTheHelpers) {
  for (std::u16string_view name :
       {block::kMainMutex, block::kClockStateMutex, block::kLogMutex, block::kSharedMsgMutex}) {
    AbandonMutex(name);
  }
  method = 3;
  IpcListener listener(sharedBlock);
  EXPECT_TRUE(PassUntil([&] {
    listener.DrainOnce();
    return Registered(Helper::Compute) && Registered(Helper::Adl);
  }));
  EXPECT_TRUE(WaitUntil(
      [&] {
        listener.DrainOnce();
        const auto texts = LogTexts();
        return std::any_of(texts.begin(), texts.end(), [](const std::u16string& t) {
          return t.starts_with(u"[Compute Helper] ");
        });
      },
      kHelperTimeoutMs));
}
