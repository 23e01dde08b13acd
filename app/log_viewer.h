// The log viewer owns the log: the pending queue and the committed lines it
// shows. Its window is created hidden at start; until then lines wait in the
// pending queue.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/log.h"

class CLogViewerDlg {
 public:
  LogBook& book() { return book_; }
  // Moves pending lines into the committed log (user-interface thread).
  std::size_t FlushPendingLog() { return book_.FlushPendingLog(); }

 private:
  LogBook book_;
};

// How the viewer's list follows new lines: it keeps showing the top when the
// first line is selected, the newest line when the last one is (or the list
// is empty), and otherwise leaves the selection alone.
enum class LogFollowMode { Top, Tail, None };
LogFollowMode DecideFollowMode(int selection, int lineCount);

// A saved log: the bytes FF FE, then the lines in UTF-16LE separated by
// CR LF, without a line break after the last.
std::string EncodeSavedLog(const std::vector<std::u16string>& lines);
