// A scripted desktop: windows, processes, monitors and the foreground window
// as a test sets them up. It counts how often each list was built, so tests
// can see what a pass of the code under test cost.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "rules/desktop.h"

class FakeDesktop : public Desktop {
 public:
  struct Window {
    std::uint32_t processId = 0;
    bool visible = true;
    bool iconic = false;
    std::optional<ScreenRect> windowRect;
    std::optional<ScreenRect> clientRect;  // in screen coordinates
  };
  struct Process {
    std::uint32_t id = 0;
    std::u16string fileName;
    std::u16string fullPath;  // empty: the process cannot be read
    std::vector<std::u16string> modules;
  };

  // The script. Set it up before the code under test runs, or change it under
  // Lock() while another thread uses the desktop.
  std::map<WindowId, Window> windows;
  std::map<WindowId, std::u16string> titles;
  std::vector<Process> processes;    // in snapshot order
  std::vector<ScreenRect> monitors;  // none: the monitor query fails
  WindowId foreground = 0;
  std::uint32_t ownProcessId = 1;

  // How often each list was built (read under Lock() while others run).
  int fileNameLists = 0;
  int fullPathLists = 0;
  std::map<std::uint32_t, int> moduleLists;  // by process id

  std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }

  int TotalModuleLists() {
    std::lock_guard<std::mutex> lock(mutex_);
    int total = 0;
    for (const auto& [id, count] : moduleLists) {
      total += count;
    }
    return total;
  }

  WindowId ForegroundWindow() override {
    std::lock_guard<std::mutex> lock(mutex_);
    return foreground;
  }
  std::vector<std::uint32_t> ListProcessIds() override {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::uint32_t> ids;
    for (const Process& process : processes) {
      ids.push_back(process.id);
    }
    return ids;
  }
  std::vector<WindowId> ListVisibleWindows() override {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<WindowId> shown;
    for (const auto& [id, window] : windows) {
      if (window.visible && !window.iconic) {
        shown.push_back(id);
      }
    }
    return shown;
  }
  std::u16string WindowText(WindowId window) override {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = titles.find(window);
    return found == titles.end() ? std::u16string() : found->second;
  }
  std::uint32_t WindowProcessId(WindowId window) override {
    std::lock_guard<std::mutex> lock(mutex_);
    const Window* found = FindWindow(window);
    return found ? found->processId : 0;
  }
  std::u16string ProcessFileName(std::uint32_t processId) override {
    std::lock_guard<std::mutex> lock(mutex_);
    const Process* found = FindProcess(processId);
    return found ? found->fileName : std::u16string();
  }
  std::u16string ProcessFullPath(std::uint32_t processId) override {
    std::lock_guard<std::mutex> lock(mutex_);
    const Process* found = FindProcess(processId);
    return found ? found->fullPath : std::u16string();
  }
  bool IsOwnWindow(WindowId window) override {
    std::lock_guard<std::mutex> lock(mutex_);
    const Window* found = FindWindow(window);
    return found && found->processId == ownProcessId;
  }
  bool IsWindow(WindowId window) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return FindWindow(window) != nullptr;
  }
  bool IsWindowVisible(WindowId window) override {
    std::lock_guard<std::mutex> lock(mutex_);
    const Window* found = FindWindow(window);
    return found && found->visible;
  }
  bool IsIconic(WindowId window) override {
    std::lock_guard<std::mutex> lock(mutex_);
    const Window* found = FindWindow(window);
    return found && found->iconic;
  }

  std::vector<std::u16string> ListProcessFileNames() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++fileNameLists;
    std::vector<std::u16string> names;
    for (const Process& process : processes) {
      names.push_back(process.fileName);
    }
    return names;
  }
  std::vector<std::u16string> ListProcessFullPaths() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++fullPathLists;
    std::vector<const Process*> byId;
    for (const Process& process : processes) {
      byId.push_back(&process);
    }
    std::stable_sort(byId.begin(), byId.end(),
                     [](const Process* a, const Process* b) { return a->id < b->id; });
    std::vector<std::u16string> paths;
    for (const Process* process : byId) {
      if (!process->fullPath.empty()) {
        paths.push_back(process->fullPath);
      }
    }
    return paths;
  }
  std::vector<std::u16string> ListProcessModules(std::uint32_t processId) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++moduleLists[processId];
    const Process* found = FindProcess(processId);
    return found ? found->modules : std::vector<std::u16string>();
  }

  std::optional<ScreenRect> WindowRect(WindowId window) override {
    std::lock_guard<std::mutex> lock(mutex_);
    const Window* found = FindWindow(window);
    return found ? found->windowRect : std::nullopt;
  }
  std::optional<ScreenRect> ClientRectOnScreen(WindowId window) override {
    std::lock_guard<std::mutex> lock(mutex_);
    const Window* found = FindWindow(window);
    return found ? found->clientRect : std::nullopt;
  }
  // The monitor containing the point, else the nearest one (the first of
  // equally near ones).
  std::optional<ScreenRect> MonitorRectNear(std::int32_t x, std::int32_t y) override {
    std::lock_guard<std::mutex> lock(mutex_);
    std::optional<ScreenRect> nearest;
    std::int64_t nearestDistance = 0;
    for (const ScreenRect& monitor : monitors) {
      const std::int64_t dx = x < monitor.left     ? std::int64_t{monitor.left} - x
                              : x >= monitor.right ? std::int64_t{x} - (monitor.right - 1)
                                                   : 0;
      const std::int64_t dy = y < monitor.top       ? std::int64_t{monitor.top} - y
                              : y >= monitor.bottom ? std::int64_t{y} - (monitor.bottom - 1)
                                                    : 0;
      const std::int64_t distance = dx * dx + dy * dy;
      if (!nearest || distance < nearestDistance) {
        nearest = monitor;
        nearestDistance = distance;
      }
    }
    return nearest;
  }

 private:
  const Window* FindWindow(WindowId window) const {
    const auto found = windows.find(window);
    return window != 0 && found != windows.end() ? &found->second : nullptr;
  }
  const Process* FindProcess(std::uint32_t processId) const {
    const auto found = std::find_if(processes.begin(), processes.end(),
                                    [&](const Process& p) { return p.id == processId; });
    return found != processes.end() ? &*found : nullptr;
  }

  std::mutex mutex_;
};
