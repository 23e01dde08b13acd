// In-process named mutexes: every access is recorded, and a test can make a
// name unavailable (as if a helper held it past the time-out).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ipc/named_mutex.h"

class FakeNamedMutexes : public NamedMutexes {
 public:
  std::unique_ptr<MutexHold> Acquire(std::u16string_view name, std::uint32_t timeoutMs) override {
    std::lock_guard<std::mutex> lock(lock_);
    accesses.emplace_back(name, timeoutMs);
    const bool acquired = !unavailable.count(std::u16string(name));
    if (acquired) {
      held.insert(std::u16string(name));
    }
    return std::make_unique<Hold>(*this, std::u16string(name), acquired);
  }

  // Names whose waits time out.
  std::set<std::u16string> unavailable;
  // Names held right now.
  std::multiset<std::u16string> held;
  std::vector<std::pair<std::u16string, std::uint32_t>> accesses;

 private:
  class Hold : public MutexHold {
   public:
    Hold(FakeNamedMutexes& owner, std::u16string name, bool acquired)
        : owner_(owner), name_(std::move(name)), acquired_(acquired) {}
    ~Hold() override {
      if (acquired_) {
        std::lock_guard<std::mutex> lock(owner_.lock_);
        owner_.held.erase(owner_.held.find(name_));
      }
    }
    bool Acquired() const override { return acquired_; }

   private:
    FakeNamedMutexes& owner_;
    std::u16string name_;
    bool acquired_;
  };

  std::mutex lock_;
};
