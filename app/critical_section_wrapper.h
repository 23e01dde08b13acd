// The lock wrapper of the application in its two forms. The plain form is
// one recursive section. The reader/writer form (the type of settingsLock)
// lets many readers in at once; a writer blocks new readers at once and waits
// for the current ones to leave. The writer side is recursive for its owner,
// which may also take the read side; a thread holding only the read side
// must take neither side again.
#pragma once

#include <cstdint>

#include "base/critical_section.h"
#include "base/event.h"

class CriticalSection_Wrapper {
 public:
  enum class Form { Plain, ReaderWriter };

  explicit CriticalSection_Wrapper(Form form = Form::Plain);
  // Throws std::runtime_error when destroyed while a section is still held.
  ~CriticalSection_Wrapper() noexcept(false);
  CriticalSection_Wrapper(const CriticalSection_Wrapper&) = delete;
  CriticalSection_Wrapper& operator=(const CriticalSection_Wrapper&) = delete;

  // Plain form.
  void Lock() { writer_.Enter(); }
  void Unlock() { writer_.Leave(); }

  // Reader/writer form.
  void ReadLock();
  void ReadUnlock();
  void WriteLock();
  void WriteUnlock() { writer_.Leave(); }

 private:
  const Form form_;
  CriticalSection writer_;
  CriticalSection count_;
  std::int32_t readers_ = 0;
  Event noReaders_{Event::ResetMode::Manual, true};
  const int initialWriterCount_;
  const int initialCountCount_;
};

class ReadLockGuard {
 public:
  explicit ReadLockGuard(CriticalSection_Wrapper& lock) : lock_(lock) { lock_.ReadLock(); }
  ~ReadLockGuard() { lock_.ReadUnlock(); }
  ReadLockGuard(const ReadLockGuard&) = delete;
  ReadLockGuard& operator=(const ReadLockGuard&) = delete;

 private:
  CriticalSection_Wrapper& lock_;
};

class WriteLockGuard {
 public:
  explicit WriteLockGuard(CriticalSection_Wrapper& lock) : lock_(lock) { lock_.WriteLock(); }
  ~WriteLockGuard() { lock_.WriteUnlock(); }
  WriteLockGuard(const WriteLockGuard&) = delete;
  WriteLockGuard& operator=(const WriteLockGuard&) = delete;

 private:
  CriticalSection_Wrapper& lock_;
};
