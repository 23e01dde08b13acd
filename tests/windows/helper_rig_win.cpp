#include "helper_rig_win.h"

#include <cstring>

#include "base/text.h"
#include "base/wide_win.h"
#include "ipc/shared_block_layout.h"
#include "test_support_win.h"

const HelperCase kCompute{Helper::Compute, L"Vantreloquin_HelperModule.exe",
                          block::kComputeProcessId, block::kComputeWindow, u"[Compute Helper] "};
const HelperCase kAdl{Helper::Adl, L"Vantreloquin_HelperModule_ADL.exe", block::kAdlProcessId,
                      block::kAdlWindow, u"[ADL Helper] "};

HelperProcess::HelperProcess(const wchar_t* fileName, const std::u16string& token)
    : ChildProcess(std::wstring(fileName) + L" " + AsWide(token), {},
                   ExecutableFolder() + fileName) {}

HelpersTest::HelpersTest() {
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

HelpersTest::~HelpersTest() {
  if (segment.IsOpen()) {
    Bytes()[block::kStopFlagA] = 1;
    Bytes()[block::kStopFlagB] = 1;
  }
}

// Helpers of earlier tests (the application's too) could still write into
// the block: stop them and wait for their end.
void HelpersTest::EndLeftoverHelpers() {
  Bytes()[block::kStopFlagA] = 1;
  Bytes()[block::kStopFlagB] = 1;
  for (std::size_t field : {block::kComputeProcessId, block::kAdlProcessId}) {
    if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, U32(field))) {
      WaitForSingleObject(process, kEndTimeoutMs);
      CloseHandle(process);
    }
  }
}

std::u16string HelpersTest::IssueToken(Helper helper) {
  return SharedBlock(Bytes(), mutexes).IssueHelperToken(helper);
}

std::u16string HelpersTest::LogText() {
  NamedMutexLock lock(mutexes, block::kLogMutex, 5000);
  std::u16string text;
  if (lock.Acquired()) {
    for (std::uint32_t i = 0; i < U32(block::kLogLength) && i < block::kLogTextUnits; ++i) {
      text.push_back(block::ReadUnit(Bytes(), block::kLogText + i * 2));
    }
  }
  return text;
}

bool HelpersTest::LogContains(std::u16string_view part) {
  return LogText().find(part) != std::u16string::npos;
}

int HelpersTest::CountInLog(std::u16string_view part) {
  const std::u16string text = LogText();
  int count = 0;
  for (std::size_t at = text.find(part); at != std::u16string::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

bool HelpersTest::Registered(const HelperCase& helper, DWORD processId) {
  return U32(helper.processId) == processId &&
         IsWindow(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(U32(helper.window))));
}

void HelpersTest::PublishClockPlan(const ClockPlan& plan) {
  NamedMutexLock lock(mutexes, block::kClockStateMutex, 5000);
  ASSERT_TRUE(lock.Acquired());
  std::uint8_t* record = Bytes() + block::kClockState;
  block::WriteU32(record, block::clock::kBlockingMethod, plan.blockingMethod);
  block::WriteU32(record, block::clock::kState, plan.state);
  const std::pair<std::size_t, ClockEntry> entries[] = {
      {block::clock::kCoreDefault, plan.coreDefault},
      {block::clock::kMemDefault, plan.memDefault},
      {block::clock::kCoreTarget, plan.coreTarget},
      {block::clock::kMemTarget, plan.memTarget}};
  for (const auto& [offset, entry] : entries) {
    record[offset + block::clock::kEntryCustom] = entry.custom ? 1 : 0;
    record[offset + block::clock::kEntryRelative] = entry.relative ? 1 : 0;
    block::WriteU32(record + offset, block::clock::kEntryValue,
                    static_cast<std::uint32_t>(entry.value));
  }
  WriteGpuTable(record + block::clock::kSelectedGpus, plan.selectedGpus);
  block::WriteU32(record, block::clock::kWatchdogSeconds, plan.watchdogSeconds);
}

std::string Narrow(std::u16string_view text) {
  return Utf16ToUtf8(text);
}
