// Records what portable code did to a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/window_host.h"

class FakeWindowHost : public WindowHost {
 public:
  struct PostedMessage {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };

  void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    posted.push_back({message, wParam, lParam});
  }
  bool StartTimer(std::uintptr_t id, std::uint32_t intervalMs) override {
    timers.push_back({id, intervalMs});
    return true;
  }
  void StopTimer(std::uintptr_t id) override { stoppedTimers.push_back(id); }
  void Enable(bool isEnabled) override { enabled = isEnabled; }
  void SetTitle(std::u16string_view text) override { title = text; }
  void SetIcons(int iconResourceId) override { icon = iconResourceId; }
  void Hide() override { hidden = true; }
  void EndModalRun() override { ++modalRunsEnded; }
  std::uint32_t HandleLow32() const override { return 0x00010203; }
  void SetTopmost(bool topmost) override { topmostCalls.push_back(topmost); }

  std::vector<PostedMessage> posted;
  std::vector<std::pair<std::uintptr_t, std::uint32_t>> timers;
  std::vector<std::uintptr_t> stoppedTimers;
  bool enabled = true;
  std::u16string title;
  int icon = 0;
  bool hidden = false;
  int modalRunsEnded = 0;
  std::vector<bool> topmostCalls;
};
