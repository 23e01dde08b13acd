// The log as a test sees it: installed for the test's lifetime, read back
// without the time stamps.
#pragma once

#include <string>
#include <vector>

#include "app/log.h"

// The text part of the committed lines, after flushing the pending ones.
inline std::vector<std::u16string> LoggedTexts(LogBook& book) {
  book.FlushPendingLog();
  std::vector<std::u16string> texts;
  for (const std::u16string& line : book.Committed()) {
    texts.push_back(line.substr(line.find(u" >> ") + 4));
  }
  return texts;
}

class LogCapture {
 public:
  LogCapture() { SetProcessLog(&book_); }
  ~LogCapture() { SetProcessLog(nullptr); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<std::u16string> Texts() { return LoggedTexts(book_); }
  LogBook& book() { return book_; }

 private:
  LogBook book_;
};
