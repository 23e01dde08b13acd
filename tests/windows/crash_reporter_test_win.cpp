#include <gtest/gtest.h>

#include "test_support_win.h"

TEST(CrashReporterTest, FaultLeavesDumpAndReportInTheFolder) {
  // A folder that does not exist yet: the reporter creates it.
  const std::wstring folder = MakeScratchFolder(L"crash") + L"reports\\";
  // The doubled backslash keeps the closing quote from being escaped.
  ChildProcess probe(L"\"" + ExecutableFolder() + L"crash_probe.exe\" \"" + folder + L"\\\"");
  ASSERT_TRUE(probe.started());
  const std::optional<DWORD> exitCode = probe.WaitForExit(60000);
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_EQ(*exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));

  const auto dumps = FilesEndingWith(folder, L".dmp");
  ASSERT_EQ(dumps.size(), 1u);
  EXPECT_EQ(ReadWholeFile(dumps[0]).substr(0, 4), "MDMP");

  const auto reports = FilesEndingWith(folder, L".txt");
  ASSERT_EQ(reports.size(), 1u);
  const std::string bytes = ReadWholeFile(reports[0]);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const std::wstring text = Utf16TextAfterMark(bytes);
  EXPECT_NE(text.find(L"Vantreloquin 1.2-6.5 ended because of an unexpected fault."),
            std::wstring::npos);
  EXPECT_NE(text.find(L"Exception code: 0xC0000005"), std::wstring::npos);
  EXPECT_NE(text.find(L"support@example.test"), std::wstring::npos);
  EXPECT_NE(text.find(dumps[0]), std::wstring::npos) << "the report names its dump";
}
