#include "app/log.h"

#include <atomic>
#include <ctime>

#include "base/text.h"

namespace {

std::atomic<LogBook*> processLog{nullptr};

std::u16string TwoDigits(int value) {
  return Format(value < 10 ? u"0%i" : u"%i", value);
}

}  // namespace

LocalTime CurrentLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return LocalTime{local.tm_year + 1900, local.tm_yday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::u16string FormatTimeOfDay(const LocalTime& time) {
  const bool afternoon = time.hour > 12;
  const int hour = afternoon ? time.hour - 12 : time.hour;
  return Format(u"%s:%s:%s %s", TwoDigits(hour), TwoDigits(time.minute), TwoDigits(time.second),
                afternoon ? u"PM" : u"AM");
}

std::u16string FormatLogTimeStamp(const LocalTime& time) {
  return Format(u"%i/%i %s", time.year, time.dayOfYear, FormatTimeOfDay(time));
}

void LogBook::Append(std::u16string_view text, const LocalTime& when) {
  if (text.empty()) {
    return;
  }
  const std::u16string stamp = FormatLogTimeStamp(when) + u" >> ";
  std::vector<std::u16string> lines;
  for (const std::u16string& piece : Split(NormalizeLineBreaks(text), u"\n")) {
    lines.push_back(stamp + TrimBlanks(piece));
  }
  {
    CriticalSectionLock lock(pendingLock_);
    for (std::u16string& line : lines) {
      pending_.push_back(std::move(line));
    }
  }
  if (LogListener* listener = listener_.load()) {
    listener->OnLogPending();
  }
}

std::size_t LogBook::FlushPendingLog() {
  std::vector<std::u16string> taken;
  {
    CriticalSectionLock lock(pendingLock_);
    taken.swap(pending_);
  }
  for (std::u16string& line : taken) {
    committed_.push_back(std::move(line));
    if (committed_.size() > kMaxCommittedLines) {
      committed_.pop_front();
    }
  }
  return taken.size();
}

void SetProcessLog(LogBook* book) {
  processLog.store(book);
}

void Log(std::u16string_view text) {
  if (LogBook* book = processLog.load()) {
    book->Append(text, CurrentLocalTime());
  }
}
