// A scripted process table: started programs appear in it (unregistered,
// without a window) unless a test makes starts fail; a test registers a
// helper by giving its process a window, and ends one by removing it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/text.h"
#include "ipc/process_control.h"

class FakeProcessControl : public ProcessControl {
 public:
  struct Start {
    std::u16string path;
    std::vector<std::u16string> arguments;
    std::uint32_t waitSeconds;
    bool noWindow;
  };
  struct Process {
    std::uint32_t id;
    std::u16string path;
    std::uint32_t window;  // 0: none
  };

  std::uint32_t ExecuteProcess(std::u16string_view path,
                               const std::vector<std::u16string>& arguments,
                               std::uint32_t waitSeconds, bool noWindow) override {
    if (onExecute) {
      onExecute();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    starts_.push_back({std::u16string(path), arguments, waitSeconds, noWindow});
    if (startResult == 0) {
      processes.push_back({nextProcessId++, std::u16string(path), 0});
    }
    return startResult;
  }

  bool IsHelperAlive(std::uint32_t processId, std::uint32_t window,
                     std::u16string_view fileName) override {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool windowValid =
        window != 0 && std::any_of(processes.begin(), processes.end(),
                                   [&](const Process& p) { return p.window == window; });
    const auto process = std::find_if(processes.begin(), processes.end(),
                                      [&](const Process& p) { return p.id == processId; });
    return windowValid && process != processes.end() &&
           EqualsNoCase(process->path.substr(process->path.rfind(u'\\') + 1), fileName);
  }

  std::vector<std::u16string> RunningProcessPaths() override {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::u16string> paths;
    for (const Process& process : processes) {
      paths.push_back(process.path);
    }
    return paths;
  }

  std::vector<Start> Starts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return starts_;
  }

  // Set up before the code under test runs, or read after it has stopped.
  std::uint32_t startResult = 0;
  std::vector<Process> processes;
  std::uint32_t nextProcessId = 100;
  // Called at each start, before it is recorded.
  std::function<void()> onExecute;

 private:
  mutable std::mutex mutex_;
  std::vector<Start> starts_;
};
