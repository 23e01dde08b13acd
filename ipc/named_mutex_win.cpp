#include "ipc/named_mutex_win.h"

#include <windows.h>

#include <string>

#include "base/wide_win.h"

namespace {

class Win32MutexHold : public MutexHold {
 public:
  Win32MutexHold(HANDLE mutex, bool acquired) : mutex_(mutex), acquired_(acquired) {}
  ~Win32MutexHold() override {
    if (acquired_) {
      ReleaseMutex(mutex_);
    }
    if (mutex_) {
      CloseHandle(mutex_);
    }
  }
  Win32MutexHold(const Win32MutexHold&) = delete;
  Win32MutexHold& operator=(const Win32MutexHold&) = delete;
  bool Acquired() const override { return acquired_; }

 private:
  HANDLE mutex_;
  bool acquired_;
};

}  // namespace

std::unique_ptr<MutexHold> Win32NamedMutexes::Acquire(std::u16string_view name,
                                                      std::uint32_t timeoutMs) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, AsWide(std::u16string(name)));
  if (!mutex) {
    return std::make_unique<Win32MutexHold>(nullptr, false);
  }
  const DWORD result = WaitForSingleObject(mutex, timeoutMs);
  if (result == WAIT_ABANDONED) {
    // The wait made this thread the owner; give it up so nobody blocks on it.
    ReleaseMutex(mutex);
  }
  return std::make_unique<Win32MutexHold>(mutex, result == WAIT_OBJECT_0);
}
