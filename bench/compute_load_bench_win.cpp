// What the compute load adds on this machine (Windows, or Wine over
// llvmpipe): for each kernel, the load's own figures (dispatches per second,
// GPU time per dispatch, GPU busy share) and the processor time the whole
// process took meanwhile, as a share of one core. Under Wine most of that
// is wined3d's command-stream thread, which spins while submissions come
// more often than a few times a second.
// Run by hand: build/windows/bin/compute_load_bench.exe [seconds per kernel]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "base/text.h"
#include "helpers/compute_load.h"
#include "helpers/d3d_compute_engine_win.h"

namespace {

double ProcessCpuMs() {
  FILETIME created;
  FILETIME exited;
  FILETIME kernel;
  FILETIME user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ms = [](const FILETIME& time) {
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                               time.dwLowDateTime) /
           10000.0;
  };
  return ms(kernel) + ms(user);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int seconds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 10;
  for (ComputeKernel kernel : {ComputeKernel::Reliable, ComputeKernel::Alternate}) {
    ComputeLoad load([] { return std::make_unique<D3dComputeEngine>(); });
    load.Start(kernel);
    // Measured from the first dispatch on, without the device's creation.
    std::vector<LoadEvent> events;
    while (load.Figures().dispatches == 0) {
      for (LoadEvent& event : load.TakeEvents()) {
        events.push_back(std::move(event));
      }
      if (!events.empty() && events.back().kind != LoadEvent::Kind::Running) {
        break;
      }
      Sleep(10);
    }
    const LoadFigures before = load.Figures();
    const double cpuBefore = ProcessCpuMs();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const LoadFigures figures = load.Figures().Since(before);
    const double cpuMs = ProcessCpuMs() - cpuBefore;
    load.Stop();
    for (LoadEvent& event : load.TakeEvents()) {
      events.push_back(std::move(event));
    }
    for (const LoadEvent& event : events) {
      std::printf("  %s\n", Utf16ToUtf8(event.text).c_str());
    }
    std::printf("%-9s kernel: %s\n", Utf16ToUtf8(KernelName(kernel)).c_str(),
                Utf16ToUtf8(DescribeLoad(figures)).c_str());
    std::printf("          processor time: %.0f ms in %.1f s, %.2f %% of one core\n", cpuMs,
                figures.elapsedMs / 1000, 100 * cpuMs / figures.elapsedMs);
  }
  return 0;
}
