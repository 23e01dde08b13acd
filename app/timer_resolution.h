// The system timer resolution the program asks for while it runs, so that
// its short waits keep their length.
#pragma once

class TimerResolution {
 public:
  virtual ~TimerResolution() = default;
  // Asks for a fine timer period; false when the request failed.
  virtual bool Request() = 0;
};
