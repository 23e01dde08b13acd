// The log viewer owns the log: the pending queue and the committed lines it
// shows. Its window is created hidden at start; until then lines wait in the
// pending queue.
#pragma once

#include <cstddef>

#include "app/log.h"

class CLogViewerDlg {
 public:
  LogBook& book() { return book_; }
  // Moves pending lines into the committed log (user-interface thread).
  std::size_t FlushPendingLog() { return book_.FlushPendingLog(); }

 private:
  LogBook book_;
};
