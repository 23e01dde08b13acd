#include "helpers/log_area.h"

#include "ipc/shared_block_layout.h"

void LogArea::Add(std::u16string_view text) {
  std::u16string line = prefix_;
  line.append(text).append(u"\r\n");
  // The area could never take more than its size: do not hoard more while
  // nobody drains it.
  if (queuedUnits_ + line.size() > block::kLogTextUnits) {
    return;
  }
  queuedUnits_ += line.size();
  queued_.push_back(std::move(line));
}

void LogArea::Flush() {
  if (queued_.empty()) {
    return;
  }
  NamedMutexLock lock(mutexes_, block::kLogMutex, kLogTimeoutMs);
  if (!lock.Acquired()) {
    return;
  }
  const std::size_t waiting = block::ReadU32(block_, block::kLogLength);
  // A length past the area's end (broken by another writer) counts as full.
  const std::size_t start = waiting < block::kLogTextUnits ? waiting : block::kLogTextUnits;
  std::size_t length = start;
  for (const std::u16string& line : queued_) {
    if (line.size() > block::kLogTextUnits - length) {
      break;
    }
    for (char16_t unit : line) {
      block::WriteUnit(block_, block::kLogText + length * 2, unit);
      ++length;
    }
  }
  if (length != start) {
    block::WriteU32(block_, block::kLogLength, static_cast<std::uint32_t>(length));
  }
  queued_.clear();
  queuedUnits_ = 0;
}
