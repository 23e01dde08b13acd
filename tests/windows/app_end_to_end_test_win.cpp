// The real Vantreloquin.exe: start, second instance, close.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "app/instance_name.h"
#include "base/wide_win.h"
#include "config/folders.h"
#include "config/general_settings.h"
#include "ipc/named_mutex_win.h"
#include "ipc/shared_block.h"
#include "ipc/shared_segment_win.h"
#include "rules/rule.h"
#include "running_app_win.h"
#include "test_support_win.h"

namespace {

bool MutexExists(const std::u16string& name) {
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, AsWide(name));
  if (!mutex) {
    return false;
  }
  CloseHandle(mutex);
  return true;
}

std::u16string CurrentAccount() {
  wchar_t name[256];
  DWORD size = 256;
  return GetUserNameW(name, &size) ? FromWide(name) : std::u16string();
}

std::u16string CurrentDomain(const std::u16string& account) {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD sidSize = sizeof sid;
  wchar_t domain[256];
  DWORD domainSize = 256;
  SID_NAME_USE use;
  if (!LookupAccountNameW(nullptr, AsWide(account), sid, &sidSize, domain, &domainSize, &use)) {
    return {};
  }
  return FromWide(domain);
}

}  // namespace

TEST(AppEndToEndTest, StartsHiddenAndStaysInvisible) {
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr) << "the controller window did not appear";
  for (int check = 0; check < 10; ++check) {
    for (HWND window : TopLevelWindowsOf(app.process().id())) {
      EXPECT_FALSE(IsWindowVisible(window));
    }
    Sleep(100);
  }
  // Minimising hides rather than shows.
  SendMessageW(app.controller(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(IsWindowVisible(app.controller()));
  EXPECT_FALSE(app.process().WaitForExit(0).has_value()) << "it keeps running";
}

TEST(AppEndToEndTest, SecondInstanceOfTheAccountExitsWithZeroAndCreatesNoWindow) {
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
  RunningApp first;
  ASSERT_NE(first.controller(), nullptr);

  ChildProcess second(AppCommandLine());
  ASSERT_TRUE(second.started());
  bool secondHadWindow = false;
  std::optional<DWORD> exitCode;
  WaitUntil(
      [&] {
        secondHadWindow = secondHadWindow || !TopLevelWindowsOf(second.id()).empty();
        exitCode = second.WaitForExit(0);
        return exitCode.has_value();
      },
      kStartTimeoutMs);
  ASSERT_TRUE(exitCode.has_value()) << "the second instance kept running";
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_FALSE(secondHadWindow);
  EXPECT_EQ(ControllerWindowOf(first.process().id()), first.controller()) << "first unaffected";
  EXPECT_FALSE(first.process().WaitForExit(0).has_value());
}

TEST(AppEndToEndTest, CloseRunsTheShutdownAndExitsWithZero) {
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  const std::u16string account = CurrentAccount();
  const std::u16string instanceName = ComposeInstanceName(account, CurrentDomain(account));
  EXPECT_TRUE(MutexExists(instanceName)) << "the instance name carries the account";

  PostMessageW(app.controller(), WM_CLOSE, 0, 0);
  const std::optional<DWORD> exitCode = app.process().WaitForExit(30000);
  ASSERT_TRUE(exitCode.has_value()) << "the process did not end after WM_CLOSE";
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_FALSE(MutexExists(instanceName));
}

// Run with an account name that holds a blank (under Wine the test sets the
// Unix user name for it).
TEST(AppEndToEndTest, InstanceNameOfAnAccountWithBlanks) {
  const std::u16string account = CurrentAccount();
  if (account != u"Jane Doe") {
    GTEST_SKIP() << "needs the account \"Jane Doe\"";
  }
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  EXPECT_TRUE(MutexExists(u"VANTRELOQUIN-HG55FF8B-Jane_Doe_" + CurrentDomain(account)));
}

TEST(AppEndToEndTest, DamagedMainArchiveIsRepairedFromTheBackup) {
  const std::u16string main = DataFolder() + u"Vantreloquin.arc";
  const std::u16string backup = DataFolder() + u"Vantreloquin.backup";
  ASSERT_TRUE(EnsureFolderExists(DataFolder()));
  {
    CGeneralSettings_ConfigFile settings;
    settings.bShowSplash.Set(false);
    settings.BlockingMethod.Set(2);
    settings.WaitFor_ProcessName.Set(u"steam.exe");
    settings.SetPath(backup);
    std::u16string message;
    ASSERT_TRUE(settings.Save(message));
  }
  {
    HANDLE file = CreateFileW(AsWide(main), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "not an archive, just damaged bytes", 34, &written, nullptr);
    CloseHandle(file);
  }

  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  EXPECT_EQ(ReadWholeFile(std::wstring(AsWide(main))), ReadWholeFile(std::wstring(AsWide(backup))));
  CGeneralSettings_ConfigFile loaded;
  std::u16string message;
  ASSERT_TRUE(loaded.Load(main, message));
  EXPECT_EQ(loaded.BlockingMethod.Value(), 2u);
  EXPECT_EQ(loaded.WaitFor_ProcessName.Value(), u"steam.exe");

  PostMessageW(app.controller(), WM_CLOSE, 0, 0);
  EXPECT_EQ(app.process().WaitForExit(30000), std::optional<DWORD>(0));
}

TEST(AppEndToEndTest, StartPreparesTheBlockAndRunsTheAdlHelperOnce) {
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  SharedSegment segment(std::u16string(block::kSegmentName), -1);
  ASSERT_TRUE(segment.IsOpen());
  const std::uint8_t* bytes = segment.View();
  const auto header = EncodedHeader();
  EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes));
  EXPECT_EQ(block::ReadU32(bytes, block::kAppProcessId), app.process().id());
  EXPECT_EQ(block::ReadU32(bytes, block::kAppWindow),
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(app.controller())));
  EXPECT_EQ(block::ReadU32(bytes, block::kClockState + block::clock::kState), 2u);
  EXPECT_EQ(block::ReadU32(bytes, block::kClockState + block::clock::kWatchdogSeconds), 10u);

  // The first dispatcher pass starts the ADL helper; with nothing to block,
  // the next pass raises the stop flags and the helper ends on its own.
  EXPECT_TRUE(WaitUntil(
      [&] { return ChildRuns(app.process().id(), L"Vantreloquin_HelperModule_ADL.exe"); }, 10000));
  EXPECT_TRUE(WaitUntil(
      [&] {
        return bytes[block::kStopFlagA] == 1 && bytes[block::kStopFlagB] == 1 &&
               !ChildRuns(app.process().id(), L"Vantreloquin_HelperModule_ADL.exe");
      },
      10000));
  EXPECT_FALSE(ChildRuns(app.process().id(), L"Vantreloquin_HelperModule.exe"));
  EXPECT_TRUE(WaitUntil([&] { return block::ReadU32(bytes, block::kLogLength) == 0; }, 5000))
      << "the helper's log text was drained";

  PostMessageW(app.controller(), WM_CLOSE, 0, 0);
  EXPECT_EQ(app.process().WaitForExit(30000), std::optional<DWORD>(0));
}

TEST(AppEndToEndTest, ListenerDrainsHelperTextEvenWithABrokenLength) {
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  SharedSegment segment(std::u16string(block::kSegmentName), -1);
  ASSERT_TRUE(segment.IsOpen());
  std::uint8_t* bytes = segment.View();
  for (std::uint32_t length : {20u, 0xFFFFFFFFu}) {
    {
      Win32NamedMutexes mutexes;
      NamedMutexLock log(mutexes, block::kLogMutex, 5000);
      ASSERT_TRUE(log.Acquired());
      const std::u16string text = u"[Test] one\r\n[Test] two\r\n";
      for (std::size_t i = 0; i < text.size(); ++i) {
        block::WriteUnit(bytes, block::kLogText + 2 * i, text[i]);
      }
      block::WriteU32(bytes, block::kLogLength, length);
    }
    EXPECT_TRUE(WaitUntil([&] { return block::ReadU32(bytes, block::kLogLength) == 0; }, 5000))
        << "length " << length;
  }
  EXPECT_FALSE(app.process().WaitForExit(0).has_value()) << "the listener survived";
  PostMessageW(app.controller(), WM_CLOSE, 0, 0);
  EXPECT_EQ(app.process().WaitForExit(30000), std::optional<DWORD>(0));
}

TEST(AppEndToEndTest, ProgramInFrontWithABlockRuleHoldsTheClocksUntilAnotherComesToFront) {
  StoreSettings([](CGeneralSettings_ConfigFile& settings) {
    ASSERT_TRUE(
        AddRule(settings.Rules(), u"window_probe.exe", ActionType::BlockIfForeground, true, 0));
  });
  const std::wstring other = ExecutableFolder() + L"other_probe.exe";
  ASSERT_TRUE(CopyFileW((ExecutableFolder() + L"window_probe.exe").c_str(), other.c_str(), FALSE));

  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  SharedSegment segment(std::u16string(block::kSegmentName), -1);
  const std::uint8_t* bytes = segment.View();

  ChildProcess probe(ProbeCommandLine(L"window_probe.exe", L"window"));
  ASSERT_TRUE(probe.started());
  EXPECT_TRUE(WaitUntil([&] { return PublishedState(bytes) == 0; }, kDecisionTimeoutMs))
      << "the Block rule holds the clocks";
  EXPECT_TRUE(WaitUntil(
      [&] { return ChildRuns(app.process().id(), L"Vantreloquin_HelperModule.exe"); }, 10000))
      << "the compute helper runs for method 0";

  ChildProcess otherProbe(ProbeCommandLine(L"other_probe.exe", L"window"));
  ASSERT_TRUE(otherProbe.started());
  EXPECT_TRUE(WaitUntil([&] { return PublishedState(bytes) == 2; }, kDecisionTimeoutMs))
      << "DEFAULT (Downclock) decides again";
  EXPECT_TRUE(WaitUntil(
      [&] { return !ChildRuns(app.process().id(), L"Vantreloquin_HelperModule.exe"); }, 10000))
      << "the helper was told to stop";
}

TEST(AppEndToEndTest, SpecialRulesMatchFullScreenAndThreeDPrograms) {
  struct Case {
    const wchar_t* mode;
    bool threeDRule;
  };
  for (const Case& c : {Case{L"fullscreen", false}, Case{L"opengl", true}}) {
    StoreSettings([&](CGeneralSettings_ConfigFile& settings) {
      FindRule(settings.Rules(), u"FULLSCREEN_PROGRAM")->enabled = !c.threeDRule;
      FindRule(settings.Rules(), u"3D_PROGRAM")->enabled = c.threeDRule;
    });
    RunningApp app;
    ASSERT_NE(app.controller(), nullptr);
    SharedSegment segment(std::u16string(block::kSegmentName), -1);
    ChildProcess probe(ProbeCommandLine(L"window_probe.exe", c.mode));
    ASSERT_TRUE(probe.started());
    EXPECT_TRUE(WaitUntil([&] { return PublishedState(segment.View()) == 0; }, kDecisionTimeoutMs))
        << "mode " << std::string(c.mode, c.mode + wcslen(c.mode));
  }
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
}
