// A microsecond stopwatch on the performance counter (the tick count where
// there is none). Each reading moves the reference point to the reading, so
// it yields the time since the previous one.
#pragma once

#include <cstdint>

class MicrosecondStopwatch {
 public:
  // 0 at the first reading.
  std::uint64_t Read();

 private:
  bool started_ = false;
  std::int64_t last_ = 0;
};
