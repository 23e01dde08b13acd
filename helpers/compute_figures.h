// What the compute load has added: dispatches, their GPU time and the share
// of the GPU they took, and the plain words in which the helper logs it.
#pragma once

#include <cstdint>
#include <string>

struct LoadFigures {
  std::uint64_t dispatches = 0;
  std::uint64_t timedDispatches = 0;  // those the GPU could time
  double gpuMs = 0;                   // summed over the timed ones
  std::uint64_t groups = 0;           // thread groups, summed
  double elapsedMs = 0;               // wall time the load ran

  // What was added after the earlier figures of the same run.
  LoadFigures Since(const LoadFigures& earlier) const;
};

// e.g. "512 dispatches in 10.2 s (50.0/s) of 120 thread groups and 0.250 ms
// GPU time each, GPU busy 1.25 %" (averages per dispatch).
std::u16string DescribeLoad(const LoadFigures& figures);
