// The log viewer's window: following new lines, the 10000-line cap and the
// saved bytes.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/log_viewer_window_win.h"
#include "base/text.h"
#include "base/wide_win.h"
#include "fakes/fake_prompts.h"
#include "test_support_win.h"

namespace {

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessageW(&msg);
  }
}

// The text part of a stamped line.
std::u16string TextOf(const std::u16string& line) {
  return line.substr(line.find(u" >> ") + 4);
}

}  // namespace

TEST(LogViewerWinTest, FollowsTheNewestLineUnlessAMiddleLineIsSelected) {
  LogBook book;
  FakePrompts prompts;
  LogViewerDialog viewer(nullptr, book, prompts);
  ASSERT_TRUE(viewer.CreateModeless());
  for (const char16_t* text : {u"one", u"two", u"three"}) {
    book.Append(text, CurrentLocalTime());
  }
  Pump();  // each line posts a flush
  CBitmapListBox& lines = viewer.lines();
  ASSERT_EQ(lines.Count(), 4);
  EXPECT_EQ(TextOf(lines.Text(0)), u"Initialized");
  EXPECT_EQ(lines.CurrentIndex(), 3) << "the newest line";

  lines.SetCurrentIndex(1);
  book.Append(u"four", CurrentLocalTime());
  Pump();
  EXPECT_EQ(lines.CurrentIndex(), 1) << "a middle line stays selected";
  lines.SetCurrentIndex(4);
  book.Append(u"five", CurrentLocalTime());
  Pump();
  EXPECT_EQ(lines.CurrentIndex(), 5) << "the last line again: following resumes";

  const std::wstring file = MakeScratchFolder(L"logviewer") + L"log.txt";
  viewer.SaveLogTo(FromWide(file));
  const std::string bytes = ReadWholeFile(file);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const std::u16string text = FromWide(Utf16TextAfterMark(bytes));
  const std::vector<std::u16string> saved = Split(text, u"\r\n");
  ASSERT_EQ(saved.size(), 6u);
  EXPECT_EQ(TextOf(saved[5]), u"five") << "no line break after the last line";
  EXPECT_EQ(prompts.shown.back(), u"Wrote log to \"" + FromWide(file) + u"\"");
  viewer.SaveLogTo(u"Q:\\no such folder\\log.txt");
  EXPECT_EQ(prompts.shown.back(), u"Failed to open file.");
}

TEST(LogViewerWinTest, KeepsTheNewestTenThousandLines) {
  LogBook book;
  FakePrompts prompts;
  LogViewerDialog viewer(nullptr, book, prompts);
  ASSERT_TRUE(viewer.CreateModeless());
  std::u16string burst;
  for (int i = 1; i <= 10001; ++i) {
    burst += u"line " + Utf8ToUtf16(std::to_string(i)) + u"\n";
  }
  burst.pop_back();
  book.Append(burst, CurrentLocalTime());
  viewer.FlushPendingLog();
  ASSERT_EQ(viewer.lines().Count(), 10000);
  EXPECT_EQ(TextOf(viewer.lines().Text(0)), u"line 2");
  EXPECT_EQ(TextOf(viewer.lines().Text(9999)), u"line 10001");
}
