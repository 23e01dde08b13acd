// A helper's log area in a block held in memory, read back the way the
// application drains it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "fakes/fake_named_mutexes.h"
#include "helpers/log_area.h"
#include "ipc/shared_block_layout.h"

// The lines waiting in a block's log area.
inline std::vector<std::u16string> LogAreaLines(const std::uint8_t* block) {
  std::u16string text;
  for (std::uint32_t i = 0; i < block::ReadU32(block, block::kLogLength); ++i) {
    text.push_back(block::ReadUnit(block, block::kLogText + i * 2));
  }
  return Split(text, u"\r\n", 0, true);
}

// How many of the lines contain the part.
inline int CountLinesWith(const std::vector<std::u16string>& lines, std::u16string_view part) {
  int count = 0;
  for (const std::u16string& line : lines) {
    count += line.find(part) != std::u16string::npos ? 1 : 0;
  }
  return count;
}

// A whole block with a log area writing into it without a prefix.
struct MemoryLogArea {
  // Flushes the queued lines first.
  std::vector<std::u16string> Lines() {
    log.Flush();
    return LogAreaLines(memory.data());
  }
  int Count(std::u16string_view part) { return CountLinesWith(Lines(), part); }

  std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(block::kSize, 0);
  FakeNamedMutexes mutexes;
  LogArea log{memory.data(), mutexes, u""};
};
