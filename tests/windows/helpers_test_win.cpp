// The real helper executables against the real shared block, prepared the
// way the application prepares it before it starts a helper.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "base/text.h"
#include "base/wide_win.h"
#include "ipc/named_mutex_win.h"
#include "ipc/shared_block.h"
#include "ipc/shared_segment_win.h"
#include "test_support_win.h"

namespace {

constexpr DWORD kRegisterTimeoutMs = 15000;
constexpr DWORD kEndTimeoutMs = 5000;

struct HelperCase {
  Helper helper;
  const wchar_t* fileName;
  std::size_t processId;
  std::size_t window;
  const char16_t* logPrefix;
};

const HelperCase kCompute{Helper::Compute, L"Vantreloquin_HelperModule.exe",
                          block::kComputeProcessId, block::kComputeWindow, u"[Compute Helper] "};
const HelperCase kAdl{Helper::Adl, L"Vantreloquin_HelperModule_ADL.exe", block::kAdlProcessId,
                      block::kAdlWindow, u"[ADL Helper] "};

// Started as the application starts it: the full path as the program, the
// file name and the token as the command line.
class HelperProcess {
 public:
  HelperProcess(const wchar_t* fileName, const std::u16string& token) {
    const std::wstring path = ExecutableFolder() + fileName;
    std::wstring commandLine = std::wstring(fileName) + L" " + AsWide(token);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                       CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup, &info)) {
      CloseHandle(info.hThread);
      process_ = info.hProcess;
      id_ = info.dwProcessId;
    }
  }
  ~HelperProcess() {
    if (process_) {
      if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
      }
      CloseHandle(process_);
    }
  }
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;

  DWORD id() const { return id_; }
  std::optional<DWORD> WaitForExit(DWORD timeoutMs) {
    DWORD code = 0;
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_, &code)) {
      return std::nullopt;
    }
    return code;
  }

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

class HelpersTest : public ::testing::Test {
 protected:
  HelpersTest() {
    if (!segment.IsOpen()) {
      return;
    }
    EndLeftoverHelpers();
    const auto header = EncodedHeader();
    std::memcpy(Bytes(), header.data(), header.size());
    for (std::size_t field : {block::kComputeProcessId, block::kComputeWindow, block::kAdlProcessId,
                              block::kAdlWindow, block::kLogLength}) {
      block::WriteU32(Bytes(), field, 0);
    }
    block::WriteU32(Bytes(), block::kAppProcessId, GetCurrentProcessId());
    Bytes()[block::kStopFlagA] = 0;
    Bytes()[block::kStopFlagB] = 0;
  }
  // Helpers still running from here or elsewhere are told to stop.
  ~HelpersTest() override {
    if (segment.IsOpen()) {
      Bytes()[block::kStopFlagA] = 1;
      Bytes()[block::kStopFlagB] = 1;
    }
  }

  // Helpers of earlier tests (the application's too) could still write
  // into the block: stop them and wait for their end.
  void EndLeftoverHelpers() {
    Bytes()[block::kStopFlagA] = 1;
    Bytes()[block::kStopFlagB] = 1;
    for (std::size_t field : {block::kComputeProcessId, block::kAdlProcessId}) {
      if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, U32(field))) {
        WaitForSingleObject(process, kEndTimeoutMs);
        CloseHandle(process);
      }
    }
  }
  std::uint8_t* Bytes() { return segment.View(); }
  std::uint32_t U32(std::size_t offset) { return block::ReadU32(Bytes(), offset); }
  std::u16string IssueToken(Helper helper) {
    return SharedBlock(Bytes(), mutexes).IssueHelperToken(helper);
  }
  // The log area's text, read under its mutex like the application does.
  std::u16string LogText() {
    NamedMutexLock lock(mutexes, block::kLogMutex, 5000);
    std::u16string text;
    if (lock.Acquired()) {
      for (std::uint32_t i = 0; i < U32(block::kLogLength) && i < block::kLogTextUnits; ++i) {
        text.push_back(block::ReadUnit(Bytes(), block::kLogText + i * 2));
      }
    }
    return text;
  }
  bool LogContains(std::u16string_view part) {
    return LogText().find(part) != std::u16string::npos;
  }
  bool Registered(const HelperCase& helper, DWORD processId) {
    return U32(helper.processId) == processId &&
           IsWindow(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(U32(helper.window))));
  }

  SharedSegment segment{std::u16string(block::kSegmentName), -1};
  Win32NamedMutexes mutexes;
};

std::string Narrow(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

}  // namespace

TEST_F(HelpersTest, WrongTokenIsRefusedWithoutTouchingTheBlock) {
  ASSERT_TRUE(segment.IsOpen());
  for (const HelperCase& helper : {kCompute, kAdl}) {
    SCOPED_TRACE(Narrow(helper.logPrefix));
    const std::u16string token = IssueToken(helper.helper);
    ASSERT_EQ(token.size(), 256u);
    std::u16string wrong = token;
    wrong[100] = wrong[100] == u'x' ? u'y' : u'x';
    HelperProcess process(helper.fileName, wrong);
    ASSERT_NE(process.id(), 0u);
    EXPECT_EQ(process.WaitForExit(kRegisterTimeoutMs), std::optional<DWORD>(1));
    EXPECT_EQ(U32(helper.processId), 0u);
    EXPECT_EQ(U32(block::kLogLength), 0u);
  }
}

TEST_F(HelpersTest, RegistersLogsAndEndsWhenAStopFlagIsRaised) {
  ASSERT_TRUE(segment.IsOpen());
  struct Case {
    const HelperCase& helper;
    std::size_t stopFlag;
  };
  for (const Case& c : {Case{kCompute, block::kStopFlagA}, Case{kAdl, block::kStopFlagB}}) {
    SCOPED_TRACE(Narrow(c.helper.logPrefix));
    HelperProcess process(c.helper.fileName, IssueToken(c.helper.helper));
    ASSERT_NE(process.id(), 0u);
    ASSERT_TRUE(WaitUntil([&] { return Registered(c.helper, process.id()); }, kRegisterTimeoutMs));
    const std::u16string clockLine = std::u16string(c.helper.logPrefix) + u"clock state received: ";
    EXPECT_TRUE(WaitUntil([&] { return LogContains(clockLine); }, kEndTimeoutMs))
        << Narrow(LogText());
    EXPECT_FALSE(process.WaitForExit(0)) << "runs while the flags are down";

    Bytes()[c.stopFlag] = 1;
    EXPECT_EQ(process.WaitForExit(kEndTimeoutMs), std::optional<DWORD>(0));
    EXPECT_TRUE(LogContains(std::u16string(c.helper.logPrefix) + u"stopping: stop flag raised"));
    EXPECT_EQ(U32(c.helper.processId), 0u);
    Bytes()[c.stopFlag] = 0;
    block::WriteU32(Bytes(), block::kLogLength, 0);
  }
}

TEST_F(HelpersTest, EndsOnItsOwnWhenTheApplicationIsGone) {
  ASSERT_TRUE(segment.IsOpen());
  // A process that has ended, kept open so that its id is not given to
  // another: a helper refused for want of a token.
  HelperProcess ended(kCompute.fileName, u"");
  ASSERT_EQ(ended.WaitForExit(kRegisterTimeoutMs), std::optional<DWORD>(1));
  HelperProcess process(kCompute.fileName, IssueToken(Helper::Compute));
  ASSERT_TRUE(WaitUntil([&] { return Registered(kCompute, process.id()); }, kRegisterTimeoutMs));
  block::WriteU32(Bytes(), block::kAppProcessId, ended.id());
  EXPECT_EQ(process.WaitForExit(kEndTimeoutMs), std::optional<DWORD>(0));
  EXPECT_TRUE(LogContains(u"[Compute Helper] stopping: the application"));
}

TEST_F(HelpersTest, AdlHelperOffersNoGpusWithoutTheDisplayLibrary) {
  ASSERT_TRUE(segment.IsOpen());
  WriteGpuTable(Bytes() + block::kAvailableGpus, {u"Stale GPU"});
  HelperProcess process(kAdl.fileName, IssueToken(Helper::Adl));
  ASSERT_TRUE(WaitUntil([&] { return Registered(kAdl, process.id()); }, kRegisterTimeoutMs));
  EXPECT_TRUE(WaitUntil(
      [&] {
        NamedMutexLock lock(mutexes, block::kMainMutex, 10000);
        return lock.Acquired() && ReadGpuTable(Bytes() + block::kAvailableGpus).empty();
      },
      kEndTimeoutMs));
  EXPECT_TRUE(
      WaitUntil([&] { return LogContains(u"[ADL Helper] AMD Display Library"); }, kEndTimeoutMs))
      << Narrow(LogText());
}
