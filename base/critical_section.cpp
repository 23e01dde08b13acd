#include "base/critical_section.h"

void CriticalSection::Enter() {
  mutex_.lock();
  owner_.store(std::this_thread::get_id());
  recursion_.fetch_add(1);
}

bool CriticalSection::TryEnter() {
  if (!mutex_.try_lock()) {
    return false;
  }
  owner_.store(std::this_thread::get_id());
  recursion_.fetch_add(1);
  return true;
}

void CriticalSection::Leave() {
  if (!IsOwnedByCurrentThread()) {
    return;  // Leaving a section one does not own is a caller error; ignore it.
  }
  if (recursion_.fetch_sub(1) == 1) {
    owner_.store(std::thread::id());
  }
  mutex_.unlock();
}

bool CriticalSection::IsOwnedByCurrentThread() const {
  return recursion_.load() > 0 && owner_.load() == std::this_thread::get_id();
}
