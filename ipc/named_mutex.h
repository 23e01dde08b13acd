// Guarded access to the shared block: a named mutex, opened afresh for each
// access and waited for with a time-out. The platform provides the mutexes;
// tests provide in-process ones.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

class MutexHold {
 public:
  virtual ~MutexHold() = default;  // releases the mutex when acquired
  virtual bool Acquired() const = 0;
};

class NamedMutexes {
 public:
  virtual ~NamedMutexes() = default;
  virtual std::unique_ptr<MutexHold> Acquire(std::u16string_view name, std::uint32_t timeoutMs) = 0;
};

// One guarded access (scoped): only a successful wait counts as acquired.
class NamedMutexLock {
 public:
  NamedMutexLock(NamedMutexes& mutexes, std::u16string_view name, std::uint32_t timeoutMs)
      : hold_(mutexes.Acquire(name, timeoutMs)) {}
  bool Acquired() const { return hold_ && hold_->Acquired(); }
  // Ends the access before the end of the scope.
  void Release() { hold_.reset(); }

 private:
  std::unique_ptr<MutexHold> hold_;
};
