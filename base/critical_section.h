// A recursive lock with the behaviour of a platform critical section: the
// owning thread may enter again; it must leave as often as it entered.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>

class CriticalSection {
 public:
  CriticalSection() = default;
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void Enter();
  bool TryEnter();
  void Leave();

  // How often the owner has entered (0 when free).
  int RecursionCount() const { return recursion_.load(); }
  bool IsOwnedByCurrentThread() const;

 private:
  std::recursive_mutex mutex_;
  std::atomic<std::thread::id> owner_{};
  std::atomic<int> recursion_{0};
};

class CriticalSectionLock {
 public:
  explicit CriticalSectionLock(CriticalSection& section) : section_(section) { section_.Enter(); }
  ~CriticalSectionLock() { section_.Leave(); }
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

 private:
  CriticalSection& section_;
};
