// The real helper executables against the real shared block, prepared the
// way the application prepares it before it starts a helper.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "helpers/clock_plan.h"
#include "ipc/named_mutex_win.h"
#include "ipc/shared_block.h"
#include "ipc/shared_segment_win.h"
#include "test_support_win.h"

inline constexpr DWORD kRegisterTimeoutMs = 15000;
inline constexpr DWORD kEndTimeoutMs = 5000;

struct HelperCase {
  Helper helper;
  const wchar_t* fileName;
  std::size_t processId;
  std::size_t window;
  const char16_t* logPrefix;
};

extern const HelperCase kCompute;
extern const HelperCase kAdl;

// Started as the application starts it: the full path as the program, the
// file name and the token as the command line. Ended by force if it still
// runs when the object goes.
class HelperProcess : public ChildProcess {
 public:
  HelperProcess(const wchar_t* fileName, const std::u16string& token);
};

// A block with the application's header, this test process as the
// application, no helper registered, both stop flags down and an empty log.
// Leftover helpers are stopped first; all are told to stop at the end.
class HelpersTest : public ::testing::Test {
 protected:
  HelpersTest();
  ~HelpersTest() override;

  std::uint8_t* Bytes() { return segment.View(); }
  std::uint32_t U32(std::size_t offset) { return block::ReadU32(Bytes(), offset); }
  std::u16string IssueToken(Helper helper);
  // The log area's text, read under its mutex like the application does.
  std::u16string LogText();
  bool LogContains(std::u16string_view part);
  int CountInLog(std::u16string_view part);
  bool Registered(const HelperCase& helper, DWORD processId);
  // Publishes a clock-state record under its mutex, as the application does.
  void PublishClockPlan(const ClockPlan& plan);

  SharedSegment segment{std::u16string(block::kSegmentName), -1};
  Win32NamedMutexes mutexes;

 private:
  void EndLeftoverHelpers();
};

std::string Narrow(std::u16string_view text);
