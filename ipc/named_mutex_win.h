// Named mutexes of the system, shared with the helper processes.
#pragma once

#include "ipc/named_mutex.h"

class Win32NamedMutexes : public NamedMutexes {
 public:
  // Opens (or creates) the mutex afresh and waits for it. An abandoned mutex
  // (its owner ended while holding it) is released at once and the access
  // counts as not acquired, so that the next wait by anyone succeeds.
  std::unique_ptr<MutexHold> Acquire(std::u16string_view name, std::uint32_t timeoutMs) override;
};
