#include "toolkit/stopwatch_win.h"

#include <windows.h>

std::uint64_t MicrosecondStopwatch::Read() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER counter{};
  std::int64_t now = 0;
  if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0 &&
      QueryPerformanceCounter(&counter)) {
    now = counter.QuadPart / frequency.QuadPart * 1000000 +
          counter.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
  } else {
    now = static_cast<std::int64_t>(GetTickCount64()) * 1000;
  }
  const std::int64_t elapsed = started_ ? now - last_ : 0;
  started_ = true;
  last_ = now;
  return elapsed > 0 ? static_cast<std::uint64_t>(elapsed) : 0;
}
