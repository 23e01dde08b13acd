// The application's shared block, opened only when it exists: a helper
// never creates it.
#pragma once

#include <windows.h>

#include <cstdint>

class ExistingBlock {
 public:
  ExistingBlock();
  ~ExistingBlock();
  ExistingBlock(const ExistingBlock&) = delete;
  ExistingBlock& operator=(const ExistingBlock&) = delete;

  // Null when there is no block of the full size.
  std::uint8_t* Bytes() const { return static_cast<std::uint8_t*>(view_); }

 private:
  HANDLE mapping_ = nullptr;
  void* view_ = nullptr;
};
