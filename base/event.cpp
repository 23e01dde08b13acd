#include "base/event.h"

Event::Event(ResetMode mode, bool initiallySet) : mode_(mode), set_(initiallySet) {}

void Event::Set() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = true;
  }
  if (mode_ == ResetMode::Manual) {
    changed_.notify_all();
  } else {
    changed_.notify_one();
  }
}

void Event::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  set_ = false;
}

bool Event::IsSet() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return set_;
}

bool Event::Wait(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!changed_.wait_for(lock, timeout, [this] { return set_; })) {
    return false;
  }
  if (mode_ == ResetMode::Auto) {
    set_ = false;
  }
  return true;
}

void Event::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return set_; });
  if (mode_ == ResetMode::Auto) {
    set_ = false;
  }
}
