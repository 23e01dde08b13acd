#include "helpers/compute_figures.h"

#include <cmath>

#include "base/format.h"

LoadFigures LoadFigures::Since(const LoadFigures& earlier) const {
  return {dispatches - earlier.dispatches, timedDispatches - earlier.timedDispatches,
          gpuMs - earlier.gpuMs, groups - earlier.groups, elapsedMs - earlier.elapsedMs};
}

std::u16string DescribeLoad(const LoadFigures& figures) {
  const double seconds = figures.elapsedMs / 1000;
  if (figures.dispatches == 0) {
    return Format(u"no dispatches in %.1f s", seconds);
  }
  const auto groups = static_cast<std::uint64_t>(
      std::llround(static_cast<double>(figures.groups) / static_cast<double>(figures.dispatches)));
  std::u16string text =
      Format(u"%u dispatches in %.1f s (%.1f/s) of %u thread group%s", figures.dispatches, seconds,
             seconds > 0 ? static_cast<double>(figures.dispatches) / seconds : 0.0, groups,
             groups == 1 ? u"" : u"s");
  if (figures.timedDispatches == 0) {
    return text + u", GPU time not measured";
  }
  const double perDispatch = figures.gpuMs / static_cast<double>(figures.timedDispatches);
  const double busy =
      figures.elapsedMs > 0
          ? perDispatch * static_cast<double>(figures.dispatches) / figures.elapsedMs
          : 0.0;
  return text + Format(u" and %.3f ms GPU time each, GPU busy %.2f %%", perDispatch, busy * 100);
}
