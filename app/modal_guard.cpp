#include "app/modal_guard.h"

bool ModalGuard::TryAcquire() {
  std::lock_guard<std::mutex> lock(lock_);
  if (busy_) {
    return false;
  }
  busy_ = true;
  if (enabler_) {
    enabler_(false);
  }
  return true;
}

void ModalGuard::Release() {
  std::lock_guard<std::mutex> lock(lock_);
  busy_ = false;
  if (enabler_) {
    enabler_(true);
  }
}

void ModalGuard::SetBusy(bool busy) {
  std::lock_guard<std::mutex> lock(lock_);
  busy_ = busy;
}

bool ModalGuard::IsBusy() const {
  std::lock_guard<std::mutex> lock(lock_);
  return busy_;
}

void ModalGuard::SetWindowEnabler(std::function<void(bool enabled)> enabler) {
  std::lock_guard<std::mutex> lock(lock_);
  enabler_ = std::move(enabler);
}

ModalGuard& TheModalGuard() {
  static ModalGuard guard;
  return guard;
}
