// The test behind the "3D_PROGRAM" rule: has a process loaded an OpenGL,
// Direct3D, Direct2D, Vulkan or Mantle library? Both the compiled library
// patterns and the cache belong to the scanner thread and take no lock.
#pragma once

#include <cstdint>

#include "rules/desktop.h"

// Looks through the file names of the process's modules; a process whose
// modules cannot be read is not a 3D program.
bool IsThreeDProcess(Desktop& desktop, std::uint32_t processId);

// Keeps the costly module scan from running on every consultation: an answer
// is reused for the same window at most kMaxReuse times in a row, and a new
// window is tested at once.
class ThreeDCache {
 public:
  static constexpr std::uint32_t kMaxReuse = 15;

  // The 3D answer for the process of the window; false for no window or a
  // window without a process.
  bool QueryThreeD(Desktop& desktop, WindowId window);

 private:
  WindowId lastWindow_ = 0;
  std::uint32_t reuseCount_ = 0;
  bool lastAnswer_ = false;
};
