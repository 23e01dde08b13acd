// The compute helper's load: started, switched and stopped as the clock
// state says, the values its kernels write, and nothing left behind after
// many starts and stops.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>

#include "helper_rig_win.h"
#include "helpers/compute_kernel.h"
#include "helpers/d3d_compute_engine_win.h"
#include "test_support_win.h"

namespace {

// A device is created, both kernels compiled and checked: under Wine that
// takes a few hundred milliseconds.
constexpr DWORD kLoadTimeoutMs = 10000;

const std::u16string kPrefix = u"[Compute Helper] ";

ClockPlan Plan(std::uint32_t method, std::uint32_t state) {
  ClockPlan plan;
  plan.blockingMethod = method;
  plan.state = state;
  return plan;
}

int ThreadsOf(DWORD processId) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return -1;
  }
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    count += entry.th32OwnerProcessID == processId ? 1 : 0;
  }
  CloseHandle(snapshot);
  return count;
}

DWORD HandlesOf(DWORD processId) {
  DWORD count = 0;
  if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId)) {
    GetProcessHandleCount(process, &count);
    CloseHandle(process);
  }
  return count;
}

class ComputeHelperTest : public HelpersTest {
 protected:
  // Waits until the helper has logged the line (after its prefix) this often.
  bool Logged(const std::u16string& line, int times = 1) {
    return WaitUntil([&] { return CountInLog(kPrefix + line) >= times; }, kLoadTimeoutMs);
  }
  // The text of the last line that starts so.
  std::string LastLine(const std::u16string& start) {
    const std::u16string text = LogText();
    const std::size_t at = text.rfind(kPrefix + start);
    if (at == std::u16string::npos) {
      return {};
    }
    return Narrow(text.substr(at, text.find(u"\r\n", at) - at));
  }
};

}  // namespace

TEST_F(ComputeHelperTest, RunsTheKernelOfEachMethodAndStopsWhenControlEnds) {
  ASSERT_TRUE(segment.IsOpen());
  PublishClockPlan(Plan(0, 0));
  HelperProcess process(kCompute.fileName, IssueToken(Helper::Compute));
  ASSERT_TRUE(WaitUntil([&] { return Registered(kCompute, process.id()); }, kRegisterTimeoutMs));

  struct Case {
    std::uint32_t method;
    const char16_t* kernel;
  };
  int round = 0;
  for (const Case& c : {Case{0, u"reliable"}, Case{1, u"alternate"}}) {
    SCOPED_TRACE(c.method);
    ++round;
    PublishClockPlan(Plan(c.method, 0));
    ASSERT_TRUE(Logged(u"starting the compute load with the " + std::u16string(c.kernel), 1))
        << Narrow(LogText());
    ASSERT_TRUE(Logged(u"compute load running on ", round)) << Narrow(LogText());
    EXPECT_NE(LastLine(u"compute load running on ").find("self-check passed"), std::string::npos)
        << Narrow(LogText());
    Sleep(500);
    EXPECT_TRUE(Registered(kCompute, process.id()));

    PublishClockPlan(Plan(c.method, 2));
    ASSERT_TRUE(Logged(u"compute load stopped: ", round)) << Narrow(LogText());
    const std::string stopped = LastLine(u"compute load stopped: ");
    EXPECT_EQ(stopped.find("no dispatches"), std::string::npos) << stopped;
    EXPECT_NE(stopped.find("GPU busy"), std::string::npos) << stopped;
    EXPECT_FALSE(process.WaitForExit(0)) << "the helper goes on serving";
    EXPECT_TRUE(Registered(kCompute, process.id()));
  }
  EXPECT_EQ(CountInLog(u"could not start"), 0) << Narrow(LogText());
  EXPECT_EQ(CountInLog(u"failed"), 0) << Narrow(LogText());
}

TEST_F(ComputeHelperTest, SwitchesKernelsWhileHoldingAndStopsWhenTheStopFlagIsRaised) {
  ASSERT_TRUE(segment.IsOpen());
  PublishClockPlan(Plan(0, 0));
  HelperProcess process(kCompute.fileName, IssueToken(Helper::Compute));
  ASSERT_TRUE(WaitUntil([&] { return Registered(kCompute, process.id()); }, kRegisterTimeoutMs));
  ASSERT_TRUE(Logged(u"compute load running on ")) << Narrow(LogText());

  PublishClockPlan(Plan(1, 0));
  EXPECT_TRUE(Logged(u"compute load switched to the alternate kernel")) << Narrow(LogText());
  PublishClockPlan(Plan(3, 0));
  EXPECT_TRUE(Logged(u"compute load switched to the reliable kernel")) << Narrow(LogText());

  Bytes()[block::kStopFlagA] = 1;
  EXPECT_EQ(process.WaitForExit(kEndTimeoutMs), std::optional<DWORD>(0));
  const std::u16string text = LogText();
  const std::size_t stopping = text.find(kPrefix + u"stopping: stop flag raised");
  const std::size_t stopped = text.find(kPrefix + u"compute load stopped: ");
  ASSERT_NE(stopping, std::u16string::npos) << Narrow(text);
  EXPECT_NE(stopped, std::u16string::npos) << Narrow(text);
  EXPECT_GT(stopped, stopping) << Narrow(text);
  EXPECT_EQ(CountInLog(u"starting the compute load"), 1) << "one device for all kernels";
}

TEST_F(ComputeHelperTest, FiftyStartsAndStopsLeaveNoThreadsHandlesOrDevicesBehind) {
  ASSERT_TRUE(segment.IsOpen());
  PublishClockPlan(Plan(0, 2));
  HelperProcess process(kCompute.fileName, IssueToken(Helper::Compute));
  ASSERT_TRUE(WaitUntil([&] { return Registered(kCompute, process.id()); }, kRegisterTimeoutMs));
  ASSERT_TRUE(Logged(u"clock state received: "));

  // One hold first: what the system keeps once Direct3D is loaded is no leak.
  int cycles = 0;
  const auto cycle = [&] {
    ++cycles;
    PublishClockPlan(Plan(0, 0));
    ASSERT_TRUE(Logged(u"starting the compute load", cycles)) << Narrow(LogText());
    PublishClockPlan(Plan(0, 2));
    ASSERT_TRUE(Logged(u"compute load stopped: ", cycles)) << Narrow(LogText());
  };
  cycle();
  const int threads = ThreadsOf(process.id());
  const DWORD handles = HandlesOf(process.id());
  ASSERT_GT(threads, 0);
  for (int i = 0; i < 50 && !HasFatalFailure(); ++i) {
    cycle();
  }
  ASSERT_FALSE(HasFatalFailure());

  // Threads of a released device may take a moment to end.
  EXPECT_TRUE(WaitUntil([&] { return ThreadsOf(process.id()) <= threads + 1; }, 3000))
      << ThreadsOf(process.id()) << " threads, " << threads << " before";
  EXPECT_LE(HandlesOf(process.id()), handles + 8) << handles << " handles before";
  // Each start opened a device fully before its stop released it.
  EXPECT_EQ(CountInLog(kPrefix + u"compute load running on "), cycles) << Narrow(LogText());
  EXPECT_EQ(CountInLog(u"still has"), 0) << Narrow(LogText());
  EXPECT_EQ(CountInLog(u"could not start"), 0) << Narrow(LogText());
}

TEST(D3dComputeEngineTest, KernelsWriteWhatTheCpuComputesBeforeAndAfterLoadDispatches) {
  D3dComputeEngine engine;
  const std::u16string device = engine.Open();
  EXPECT_NE(device.find(u"self-check passed"), std::u16string::npos) << Narrow(device);
  const auto check = [&] {
    for (ComputeKernel kernel : {ComputeKernel::Reliable, ComputeKernel::Alternate}) {
      for (std::uint32_t seed : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        EXPECT_EQ(engine.Written(kernel, seed), KernelValue(kernel, seed))
            << Narrow(KernelName(kernel)) << " kernel, seed " << seed;
      }
    }
  };
  check();
  for (std::uint32_t groups : {1u, 64u, 1024u}) {
    for (ComputeKernel kernel : {ComputeKernel::Reliable, ComputeKernel::Alternate}) {
      engine.Submit(kernel, groups);
      const std::optional<double> gpuMs = engine.Collect();
      if (gpuMs) {
        EXPECT_GE(*gpuMs, 0.0);
      }
    }
  }
  check();
  EXPECT_EQ(engine.Close(), std::nullopt) << "nothing of the device is left referenced";
}
