// The real ADL helper against the tests' display library stand-in, placed in
// the system folder where the driver puts the real one.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/wide_win.h"
#include "helper_rig_win.h"
#include "ipc/shared_block_layout.h"
#include "test_support_win.h"

namespace {

// Two controllable GPUs (one shown on two outputs), one of an Overdrive
// generation the helper does not drive, and one of another maker.
constexpr char kGpus[] =
    "gpu Radeon RX 580;bus=3;outputs=2;od=7;core=300,600,900,1366;coreRange=300,1500;"
    "memory=300,1000,2000;memoryRange=300,2250\n"
    "gpu Radeon RX 6800 XT;bus=8;od=8;core=500,2400;coreRange=500,2800;memory=1000;"
    "memoryRange=674,1150\n"
    "gpu Radeon HD 7970;bus=5;od=6\n"
    "gpu Quadro P400;bus=9;vendor=4318;od=7\n";

class AdlHelperTest : public HelpersTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(segment.IsOpen());
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    library_ = std::wstring(system) + L"\\atiadlxx.dll";
    ASSERT_TRUE(
        CopyFileW((ExecutableFolder() + L"adl_standin.dll").c_str(), library_.c_str(), FALSE));
    configuration_ = MakeScratchFolder(L"adl") + L"gpus.txt";
    SetEnvironmentVariableW(L"VT_ADL_STANDIN", configuration_.c_str());
  }
  void TearDown() override {
    DeleteFileW(library_.c_str());
    SetEnvironmentVariableW(L"VT_ADL_STANDIN", nullptr);
  }

  // Starts the helper on this configuration and waits until it serves.
  std::unique_ptr<HelperProcess> Start(const std::string& configuration) {
    HANDLE file = CreateFileW(configuration_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, configuration.data(), static_cast<DWORD>(configuration.size()), &written,
              nullptr);
    CloseHandle(file);
    auto process = std::make_unique<HelperProcess>(kAdl.fileName, IssueToken(Helper::Adl));
    EXPECT_TRUE(WaitUntil([&] { return Registered(kAdl, process->id()); }, kRegisterTimeoutMs));
    EXPECT_TRUE(WaitUntil([&] { return LogContains(u"device polling"); }, kEndTimeoutMs))
        << Narrow(LogText());
    return process;
  }

  // The calls that changed settings, in order.
  std::vector<std::string> Changes() {
    std::vector<std::string> changes;
    std::string line;
    for (char c : ReadWholeFile(configuration_ + L".calls")) {
      if (c != '\n') {
        line += c;
        continue;
      }
      if (line.find("_Set ") != std::string::npos) {
        changes.push_back(line);
      }
      line.clear();
    }
    return changes;
  }

  // Publishes the plan and waits for the helper's line about it.
  void Expect(const ClockPlan& plan, std::u16string_view line) {
    PublishClockPlan(plan);
    EXPECT_TRUE(WaitUntil([&] { return LogContains(line); }, kEndTimeoutMs)) << Narrow(line) << "\n"
                                                                             << Narrow(LogText());
  }

  std::wstring library_;
  std::wstring configuration_;
};

ClockPlan Plan(std::uint32_t method, std::uint32_t state, std::u16string gpu) {
  ClockPlan plan;
  plan.blockingMethod = method;
  plan.state = state;
  plan.selectedGpus = {std::move(gpu)};
  return plan;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(AdlHelperTest, OffersOneNamePerPhysicalGpuItCanControl) {
  auto helper = Start(kGpus);
  NamedMutexLock lock(mutexes, block::kMainMutex, 10000);
  ASSERT_TRUE(lock.Acquired());
  EXPECT_EQ(ReadGpuTable(Bytes() + block::kAvailableGpus),
            (std::vector<std::u16string>{u"Radeon RX 580", u"Radeon RX 6800 XT"}));
  EXPECT_TRUE(LogContains(u"[ADL Helper] GPUs found: Radeon RX 580, Radeon RX 6800 XT"));
  EXPECT_TRUE(
      LogContains(u"[ADL Helper] Radeon HD 7970: its clocks cannot be controlled: "
                  u"Overdrive version 6 is not one this helper can drive"));
  EXPECT_FALSE(LogContains(u"Quadro"));
}

TEST_F(AdlHelperTest, EachStateDrivesOnlyTheSelectedGpusAndStoppingRestoresThem) {
  auto helper = Start(kGpus);
  // The GPU picker stores names in upper case.
  Expect(Plan(2, 0, u"RADEON RX 580"),
         u"Radeon RX 580: holding the highest clocks: core 1366 MHz, memory 2000 MHz");
  Expect(Plan(0, 1, u"RADEON RX 580"),
         u"Radeon RX 580: forcing the lowest clocks: core 300 MHz, memory 300 MHz");
  Expect(Plan(2, 2, u"RADEON RX 580"), u"Radeon RX 580: restored the clocks it had before");
  Expect(Plan(3, 0, u"RADEON RX 6800 XT"),
         u"Radeon RX 6800 XT: holding the highest clocks: core 2400 MHz, memory 1000 MHz");
  Bytes()[block::kStopFlagA] = 1;
  EXPECT_EQ(helper->WaitForExit(kEndTimeoutMs), std::optional<DWORD>(0));
  EXPECT_TRUE(LogContains(u"Radeon RX 6800 XT: restored the clocks it had before"));

  EXPECT_EQ(Changes(),
            (Lines{
                "ADL2_OverdriveN_SystemClocks_Set bus=3 mode=3 levels=300:0,600:0,900:0,1366:1",
                "ADL2_OverdriveN_MemoryClocks_Set bus=3 mode=3 levels=300:0,1000:0,2000:1",
                "ADL2_OverdriveN_SystemClocks_Set bus=3 mode=3 levels=300:1,600:0,900:0,1366:0",
                "ADL2_OverdriveN_MemoryClocks_Set bus=3 mode=3 levels=300:1,1000:0,2000:0",
                // Found under the driver's control: handed back to it.
                "ADL2_OverdriveN_SystemClocks_Set bus=3 mode=1 levels=300:1,600:1,900:1,1366:1",
                "ADL2_OverdriveN_MemoryClocks_Set bus=3 mode=1 levels=300:1,1000:1,2000:1",
                "ADL2_Overdrive8_Setting_Set bus=8 0=2400 1=2400 8=1000",
                "ADL2_Overdrive8_Setting_Set bus=8 0=reset 1=reset 8=reset",
            }));
}

TEST_F(AdlHelperTest, CustomClocksAreOffsetsOrAbsoluteAndClampedToTheGpusRange) {
  auto helper = Start(kGpus);
  struct Step {
    std::u16string gpu;
    ClockEntry core, memory;
    std::u16string line;
  };
  const Step steps[] = {
      {u"RADEON RX 6800 XT",
       {true, true, 100},
       {true, false, 5000},
       u"Radeon RX 6800 XT: holding the highest clocks: core 2500 MHz, memory 1150 MHz (memory "
       u"5000 MHz asked, 1150 MHz is the most this GPU accepts)"},
      {u"RADEON RX 6800 XT",
       {true, false, 3000},
       {false, false, 0},
       u"Radeon RX 6800 XT: holding the highest clocks: core 2800 MHz, memory 1000 MHz (core "
       u"3000 MHz asked, 2800 MHz is the most this GPU accepts)"},
      {u"RADEON RX 580",
       {true, true, -66},
       {true, false, 1750},
       u"Radeon RX 580: holding the highest clocks: core 1300 MHz, memory 1750 MHz"},
  };
  for (const Step& step : steps) {
    ClockPlan plan = Plan(2, 0, step.gpu);
    plan.coreTarget = step.core;
    plan.memTarget = step.memory;
    Expect(plan, step.line);
  }
  EXPECT_EQ(Changes(),
            (Lines{
                "ADL2_Overdrive8_Setting_Set bus=8 0=2500 1=2500 8=1150",
                "ADL2_Overdrive8_Setting_Set bus=8 0=2800 1=2800 8=1000",
                "ADL2_Overdrive8_Setting_Set bus=8 0=reset 1=reset 8=reset",
                "ADL2_OverdriveN_SystemClocks_Set bus=3 mode=3 levels=300:0,600:0,900:0,1300:1",
                "ADL2_OverdriveN_MemoryClocks_Set bus=3 mode=3 levels=300:0,1000:0,1750:1",
            }));
}

TEST_F(AdlHelperTest, ARefusedCallIsLoggedAndTheHelperKeepsServing) {
  auto helper = Start(std::string(kGpus) + "fail ADL2_Overdrive8_Setting_Set -8 1\n");
  Expect(Plan(2, 0, u"Radeon RX 6800 XT"),
         u"[ADL Helper] Radeon RX 6800 XT: could not set core 2400 MHz, memory 1000 MHz: "
         u"ADL2_Overdrive8_Setting_Set refused: the feature is not supported (-8)");
  EXPECT_FALSE(helper->WaitForExit(0));
  EXPECT_TRUE(Registered(kAdl, helper->id()));
  Expect(Plan(2, 1, u"Radeon RX 6800 XT"),
         u"Radeon RX 6800 XT: forcing the lowest clocks: core 500 MHz, memory 674 MHz");
  EXPECT_EQ(Changes(), (Lines{"ADL2_Overdrive8_Setting_Set bus=8 0=2400 1=2400 8=1000 -> -8",
                              "ADL2_Overdrive8_Setting_Set bus=8 0=500 1=500 8=674"}));
}

TEST_F(AdlHelperTest, ACrashInTheLibraryRestoresTheClocksBeforeTheHelperDies) {
  // The fourth read of the settings is the check on the polling interval.
  auto helper = Start(std::string(kGpus) + "crash ADL2_Overdrive8_Current_SettingX2_Get 4\n");
  ClockPlan plan = Plan(2, 0, u"Radeon RX 6800 XT");
  plan.watchdogSeconds = 1;
  Expect(plan, u"Radeon RX 6800 XT: holding the highest clocks: core 2400 MHz, memory 1000 MHz");
  EXPECT_EQ(helper->WaitForExit(kEndTimeoutMs), std::optional<DWORD>(EXCEPTION_ACCESS_VIOLATION));
  EXPECT_EQ(Changes(), (Lines{"ADL2_Overdrive8_Setting_Set bus=8 0=2400 1=2400 8=1000",
                              "ADL2_Overdrive8_Setting_Set bus=8 0=reset 1=reset 8=reset"}));
  EXPECT_TRUE(LogContains(u"Radeon RX 6800 XT: restored the clocks it had before"));
}
