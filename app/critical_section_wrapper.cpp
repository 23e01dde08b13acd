#include "app/critical_section_wrapper.h"

#include <stdexcept>

CriticalSection_Wrapper::CriticalSection_Wrapper(Form form)
    : form_(form),
      initialWriterCount_(writer_.RecursionCount()),
      initialCountCount_(count_.RecursionCount()) {}

CriticalSection_Wrapper::~CriticalSection_Wrapper() noexcept(false) {
  if (form_ == Form::ReaderWriter) {
    noReaders_.Wait();
  }
  const bool balanced = writer_.RecursionCount() == initialWriterCount_ &&
                        count_.RecursionCount() == initialCountCount_;
  if (balanced) {
    return;
  }
  // Let go of what this thread still holds so that the sections are not
  // destroyed while locked, then report the fault.
  while (writer_.IsOwnedByCurrentThread()) {
    writer_.Leave();
  }
  while (count_.IsOwnedByCurrentThread()) {
    count_.Leave();
  }
  throw std::runtime_error(
      form_ == Form::ReaderWriter
          ? "CriticalSection_Wrapper::~CriticalSection_Wrapper : Write Lockcount != initialized "
            "LockCount"
          : "CriticalSection_Wrapper::~CriticalSection_Wrapper : Lockcount != initialized "
            "LockCount");
}

void CriticalSection_Wrapper::ReadLock() {
  CriticalSectionLock writer(writer_);
  CriticalSectionLock count(count_);
  if (readers_++ == 0) {
    noReaders_.Reset();
  }
}

void CriticalSection_Wrapper::ReadUnlock() {
  CriticalSectionLock count(count_);
  if (readers_-- == 1) {
    noReaders_.Set();
  }
}

void CriticalSection_Wrapper::WriteLock() {
  writer_.Enter();
  noReaders_.Wait();
}
