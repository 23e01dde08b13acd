// The shared state block: initialisation at start, launch tokens, the GPU
// tables and the application's identity. Callers test IsOpen first; a
// closed block is left alone.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ipc/named_mutex.h"
#include "ipc/shared_block_layout.h"

enum class Helper { Compute, Adl };

// The 256 header bytes: the version tag, zero-padded, with 2 x i + 1 added to
// byte i (modulo 256).
std::array<std::uint8_t, block::kHeaderSize> EncodedHeader();

// A GPU table: up to 20 names of at most 200 units. Writing keeps the first
// 20 names (each cut to 200 units) and empties the other entries; reading
// yields the non-empty entries in order. No lock is taken.
void WriteGpuTable(std::uint8_t* table, const std::vector<std::u16string>& names);
std::vector<std::u16string> ReadGpuTable(const std::uint8_t* table);

class SharedBlock {
 public:
  // The view of the mapped block (null when the segment is closed).
  SharedBlock(std::uint8_t* view, NamedMutexes& mutexes) : view_(view), mutexes_(mutexes) {}

  bool IsOpen() const { return view_ != nullptr; }
  std::uint8_t* Bytes() const { return view_; }
  NamedMutexes& Mutexes() const { return mutexes_; }

  // Prepares the block at start: header, identity, both stop flags raised,
  // an empty log, a default clock state and no GPUs. False (with the reason
  // logged) when the block is closed or its main mutex is not had in 5 s.
  bool INIT_SharedMem(std::uint32_t appWindow, std::uint32_t appProcessId);

  // Places a fresh token for the helper (clearing its identity; for the ADL
  // helper also the stop flags) and returns it; empty when the block's
  // token mutex was not had.
  std::u16string IssueHelperToken(Helper helper);

  // The GPUs the helpers found; nothing when the main mutex was not had.
  std::optional<std::vector<std::u16string>> ReadAvailableGpus();
  // The GPUs under control, written directly (only when the main mutex was had).
  void WriteSelectedGpus(const std::vector<std::u16string>& names);

  void RefreshAppIdentity(std::uint32_t appWindow, std::uint32_t appProcessId);

 private:
  std::uint8_t* view_;
  NamedMutexes& mutexes_;
};
