// Cost of the background passes under Windows (or Wine) with the real block,
// mutexes and process queries: an idle listener pass, a dispatcher pass with
// clock control off, and a dispatcher pass that finds its helper alive.
// Run by hand: build/windows/bin/ipc_passes_bench.exe
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <functional>

#include "base/wide_win.h"
#include "ipc/helper_supervisor.h"
#include "ipc/ipc_listener.h"
#include "ipc/named_mutex_win.h"
#include "ipc/process_control_win.h"
#include "ipc/shared_segment_win.h"

namespace {

double MicrosecondsPerCall(int calls, const std::function<void()>& call) {
  LARGE_INTEGER frequency;
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < calls; ++i) {
    call();
  }
  QueryPerformanceCounter(&end);
  return static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
         static_cast<double>(frequency.QuadPart) / calls;
}

std::u16string ProgramFolderOfThisExe() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string folder = FromWide(std::wstring_view(path, length));
  return folder.substr(0, folder.rfind(u'\\') + 1);
}

}  // namespace

int wmain() {
  SharedSegment segment(std::u16string(block::kSegmentName), -1);
  Win32NamedMutexes mutexes;
  SharedBlock sharedBlock(segment.View(), mutexes);
  sharedBlock.INIT_SharedMem(0, GetCurrentProcessId());
  Win32ProcessControl processes;
  DispatcherWake wake;
  CriticalSection stateLock;
  std::atomic<bool> blockRequested{false};
  std::atomic<bool> forceDownclock{false};
  HelperSupervisor supervisor(
      sharedBlock, processes, ProgramFolderOfThisExe(), wake,
      SupervisorSources{stateLock, blockRequested, forceDownclock, [] { return 0u; }});
  Event stopSignal(Event::ResetMode::Manual, false);
  IpcListener listener(sharedBlock);

  std::printf("idle listener pass:                %10.3f us\n",
              MicrosecondsPerCall(10000, [&] { listener.DrainOnce(); }));
  supervisor.RunPass(stopSignal);  // the first pass starts the ADL helper
  supervisor.SignalHelpersToStop();
  Sleep(1000);
  std::printf("dispatcher pass, control off:      %10.3f us\n",
              MicrosecondsPerCall(1000, [&] { supervisor.RunPass(stopSignal); }));

  blockRequested = true;
  for (int i = 0; i < 100; ++i) {  // until the compute helper has registered
    supervisor.RunPass(stopSignal);
    if (processes.IsHelperAlive(block::ReadU32(segment.View(), block::kComputeProcessId),
                                block::ReadU32(segment.View(), block::kComputeWindow),
                                kComputeHelperFileName)) {
      break;
    }
    Sleep(100);
  }
  std::printf("dispatcher pass, helper alive:     %10.3f us\n",
              MicrosecondsPerCall(200, [&] { supervisor.RunPass(stopSignal); }));
  supervisor.SignalHelpersToStop();
  return 0;
}
