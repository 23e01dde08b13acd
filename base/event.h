// A waitable event with the semantics of a platform event object: manual
// reset (stays set until reset) or auto reset (one waiter takes it).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class Event {
 public:
  enum class ResetMode { Manual, Auto };

  Event(ResetMode mode, bool initiallySet);
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  // True when set now; an auto-reset event is not consumed by this test.
  bool IsSet() const;
  // Waits until set or until the timeout elapses; true when it was set.
  bool Wait(std::chrono::milliseconds timeout);
  void Wait();

 private:
  const ResetMode mode_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool set_;
};
