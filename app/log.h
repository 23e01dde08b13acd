// The application's one log: time-stamped lines without levels. Writers from
// any thread append to a pending queue and return at once; the user-interface
// thread moves pending lines into the committed log of at most 10000 lines.
#pragma once

#include <atomic>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "base/critical_section.h"
#include "base/format.h"

struct LocalTime {
  int year = 1970;
  int dayOfYear = 0;  // 0 for 1 January
  int hour = 0;       // 0..23
  int minute = 0;
  int second = 0;
};

LocalTime CurrentLocalTime();

// "2016/331 03:04:09 PM": hours 0 to 12 print unchanged with AM, 13 to 23
// less 12 with PM.
std::u16string FormatLogTimeStamp(const LocalTime& time);
// The time part alone: "03:04:09 PM".
std::u16string FormatTimeOfDay(const LocalTime& time);

// Told after lines were appended, from the appending thread, outside the
// lock; the log viewer's window uses it to flush soon.
class LogListener {
 public:
  virtual ~LogListener() = default;
  virtual void OnLogPending() = 0;
};

class LogBook {
 public:
  static constexpr std::size_t kMaxCommittedLines = 10000;

  // Splits the text into lines (line breaks normalised, every piece trimmed
  // of blanks and tabs, a trailing break giving a last empty line) and
  // appends them, stamped with the given time, to the pending queue in one
  // piece. An empty text adds nothing.
  void Append(std::u16string_view text, const LocalTime& when);

  // Null detaches the listener.
  void SetListener(LogListener* listener) { listener_.store(listener); }

  // User-interface thread: moves the pending lines to the committed log,
  // dropping the oldest beyond the limit. Returns how many lines moved.
  std::size_t FlushPendingLog();

  const std::deque<std::u16string>& Committed() const { return committed_; }

 private:
  CriticalSection pendingLock_;
  std::vector<std::u16string> pending_;
  std::deque<std::u16string> committed_;
  std::atomic<LogListener*> listener_{nullptr};
};

// The log that Log and LogFormat write to (the controller's); null drops lines.
void SetProcessLog(LogBook* book);

void Log(std::u16string_view text);

template <typename... Args>
void LogFormat(std::u16string_view format, const Args&... args) {
  Log(Format(format, args...));
}
