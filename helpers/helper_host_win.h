// The helper's place in Windows: a hidden top-level window of its own (its
// registered identity, and how the system asks it to close), a watch on the
// application's process and a wait that keeps the window served. Close
// requests also come from the console (closed, log-off, shut-down) on a
// thread of their own.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "helpers/helper_host.h"

class Win32HelperHost : public HelperHost {
 public:
  Win32HelperHost() = default;
  ~Win32HelperHost() override;
  Win32HelperHost(const Win32HelperHost&) = delete;
  Win32HelperHost& operator=(const Win32HelperHost&) = delete;

  // Creates the window; false when it could not be created.
  bool CreateHelperWindow(const std::u16string& title);
  // Run when the user's session ends: the process is ended right after, so
  // the action must leave the GPU as it was found. Runs between two passes.
  void SetEndSessionAction(std::function<void()> action) { endSession_ = std::move(action); }
  // Ends the current wait with a close request; callable from any thread.
  void RequestClose();

  std::uint32_t ProcessId() const override;
  std::uint32_t Window() const override;
  bool ProcessRuns(std::uint32_t processId) override;
  std::uint64_t NowMs() override;
  bool WaitForNextPass(std::uint32_t milliseconds) override;

 private:
  void ForgetWatched();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  // The watched process stays open: its id cannot be reused while we hold it.
  std::uint32_t watchedId_ = 0;
  HANDLE watched_ = nullptr;
  bool closeRequested_ = false;
  HANDLE closeEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::function<void()> endSession_;
};
