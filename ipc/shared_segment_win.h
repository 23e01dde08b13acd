// A named memory mapping backed by the paging file, opened to every account
// and mapped whole.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class SharedSegment {
 public:
  // A negative size stands for the shared block's full size.
  SharedSegment(std::u16string name, std::int32_t size);
  ~SharedSegment();
  SharedSegment(const SharedSegment&) = delete;
  SharedSegment& operator=(const SharedSegment&) = delete;

  // Creates or opens and maps; an open segment of the same name is kept when
  // the size is equal or negative.
  void Open(const std::u16string& name, std::int32_t size);
  void Close();
  bool IsOpen() const { return mapping_ != nullptr && view_ != nullptr; }
  std::uint8_t* View() const { return static_cast<std::uint8_t*>(view_); }

 private:
  HANDLE mapping_ = nullptr;
  std::u16string name_;
  std::int32_t size_ = 0;
  void* view_ = nullptr;
};

// The process-wide segment of the shared state block, made on first use
// (at the very start of the program).
SharedSegment& TheSharedSegment();
