#include "app/log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/log_viewer.h"
#include "base/text.h"

namespace {

const LocalTime kSomeTime{2024, 2, 14, 2, 3};

std::vector<std::u16string> Flushed(LogBook& book) {
  book.FlushPendingLog();
  return {book.Committed().begin(), book.Committed().end()};
}

}  // namespace

TEST(LogTimeStampTest, TwelveHourClockAndDayOfYear) {
  struct Case {
    LocalTime time;
    const char16_t* expected;
  };
  const Case cases[] = {
      {{2016, 331, 15, 4, 9}, u"2016/331 03:04:09 PM"},
      {{2024, 2, 14, 2, 3}, u"2024/2 02:02:03 PM"},
      {{2024, 100, 12, 30, 0}, u"2024/100 12:30:00 AM"},
      {{2024, 100, 0, 5, 0}, u"2024/100 00:05:00 AM"},
      {{2025, 0, 9, 59, 59}, u"2025/0 09:59:59 AM"},
      {{2025, 364, 23, 0, 7}, u"2025/364 11:00:07 PM"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(FormatLogTimeStamp(c.time)), Utf16ToUtf8(c.expected));
  }
}

TEST(LogBookTest, TextBecomesTrimmedStampedLines) {
  struct Case {
    const char16_t* text;
    std::vector<std::u16string> lines;
  };
  const std::u16string stamp = u"2024/2 02:02:03 PM >> ";
  const Case cases[] = {
      {u"Spawned dispatcher thread", {stamp + u"Spawned dispatcher thread"}},
      {u"  Initialized\t", {stamp + u"Initialized"}},
      {u"first\r\nsecond", {stamp + u"first", stamp + u"second"}},
      {u"a\rb\n\rc", {stamp + u"a", stamp + u"b", stamp + u"c"}},
      {u"ends with a break\r\n", {stamp + u"ends with a break", stamp}},
      {u"", {}},
  };
  for (const Case& c : cases) {
    LogBook book;
    book.Append(c.text, kSomeTime);
    EXPECT_EQ(Flushed(book), c.lines) << Utf16ToUtf8(c.text);
  }
}

TEST(LogBookTest, CommittedLogKeepsTheNewestTenThousandLines) {
  LogBook book;
  for (int i = 0; i < 10001; ++i) {
    book.Append(Format(u"line %i", i), kSomeTime);
  }
  EXPECT_EQ(book.FlushPendingLog(), 10001u);
  ASSERT_EQ(book.Committed().size(), 10000u);
  EXPECT_EQ(book.Committed().front(), u"2024/2 02:02:03 PM >> line 1");
  EXPECT_EQ(book.Committed().back(), u"2024/2 02:02:03 PM >> line 10000");

  book.Append(u"one more", kSomeTime);
  book.FlushPendingLog();
  EXPECT_EQ(book.Committed().size(), 10000u);
  EXPECT_EQ(book.Committed().front(), u"2024/2 02:02:03 PM >> line 2");
}

TEST(LogBookTest, LinesOfOneCallStayTogetherUnderConcurrentWriters) {
  LogBook book;
  constexpr int kCalls = 500;
  auto writer = [&book](char16_t tag) {
    for (int i = 0; i < kCalls; ++i) {
      book.Append(std::u16string(1, tag) + u"1\r\n" + std::u16string(1, tag) + u"2", kSomeTime);
    }
  };
  std::thread a(writer, u'a');
  std::thread b(writer, u'b');
  a.join();
  b.join();
  const std::vector<std::u16string> lines = Flushed(book);
  ASSERT_EQ(lines.size(), 4u * kCalls);
  for (std::size_t i = 0; i < lines.size(); i += 2) {
    const std::u16string first = lines[i].substr(lines[i].size() - 2);
    const std::u16string second = lines[i + 1].substr(lines[i + 1].size() - 2);
    ASSERT_EQ(first[1], u'1');
    ASSERT_EQ(second, std::u16string(1, first[0]) + u"2");
  }
}

TEST(LogTest, LinesWaitUntilFlushedAndTheListenerIsTold) {
  struct CountingListener : LogListener {
    void OnLogPending() override { ++calls; }
    std::atomic<int> calls{0};
  } listener;
  LogBook book;
  SetProcessLog(&book);
  Log(u"before the window exists");
  book.SetListener(&listener);
  LogFormat(u"Failed to verify directory \"%s\" exists.", u"C:\\x\\");
  SetProcessLog(nullptr);
  Log(u"dropped: no log");

  EXPECT_EQ(listener.calls.load(), 1);
  EXPECT_TRUE(book.Committed().empty());
  const std::vector<std::u16string> lines = Flushed(book);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0].ends_with(u" >> before the window exists"));
  EXPECT_TRUE(lines[1].ends_with(u" >> Failed to verify directory \"C:\\x\\\" exists."));
}

TEST(LogViewerTest, FollowModeComesFromTheSelectionBeforeNewLines) {
  struct Case {
    int selection;
    int count;
    LogFollowMode mode;
  };
  const Case cases[] = {
      {-1, 0, LogFollowMode::Tail},  // empty list
      {4, 5, LogFollowMode::Tail},  {0, 5, LogFollowMode::Top},   {0, 1, LogFollowMode::Top},
      {2, 5, LogFollowMode::None},  {-1, 5, LogFollowMode::None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecideFollowMode(c.selection, c.count), c.mode) << c.selection << "/" << c.count;
  }
}

TEST(LogViewerTest, SavedLogIsUtf16WithAMarkAndNoFinalLineBreak) {
  EXPECT_EQ(EncodeSavedLog({u"A", u"B"}), std::string("\xFF\xFE"
                                                      "A\0\r\0\n\0B\0",
                                                      10));
  EXPECT_EQ(EncodeSavedLog({}), std::string("\xFF\xFE"));
  EXPECT_EQ(EncodeSavedLog({u"\u00e9"}), std::string("\xFF\xFE\xE9\0", 4));
}
