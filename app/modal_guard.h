// Keeps user actions that open a window or a prompt from overlapping. While
// it is held the controller and log viewer windows are disabled.
#pragma once

#include <functional>
#include <mutex>

class ModalGuard {
 public:
  // Takes the guard when it is free: disables the windows and returns true.
  // Returns false without side effects when it is held.
  bool TryAcquire();
  // Called only by the holder: frees the guard and enables the windows.
  void Release();

  // The start-up sequence holds the busy flag directly for its duration.
  void SetBusy(bool busy);
  bool IsBusy() const;

  // How the guard disables (false) and enables (true) the windows it covers.
  void SetWindowEnabler(std::function<void(bool enabled)> enabler);

 private:
  mutable std::mutex lock_;
  bool busy_ = false;
  std::function<void(bool)> enabler_;
};

// The process-wide guard.
ModalGuard& TheModalGuard();
