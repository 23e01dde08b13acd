// The helper's side of the block's log area: lines are queued and appended
// after the text already waiting there, under the log mutex, for the
// application to drain into its own log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ipc/named_mutex.h"

class LogArea {
 public:
  static constexpr std::uint32_t kLogTimeoutMs = 5000;

  // The prefix names the helper in the application's log, e.g. "[ADL Helper] ".
  LogArea(std::uint8_t* block, NamedMutexes& mutexes, std::u16string prefix)
      : block_(block), mutexes_(mutexes), prefix_(std::move(prefix)) {}

  // Queues the prefix, the text and CR LF.
  void Add(std::u16string_view text);

  // Appends the queued lines. Lines that no longer fit into the area are
  // dropped (with all after them, to keep the order); when the mutex is not
  // had they stay queued for the next call.
  void Flush();

 private:
  std::uint8_t* block_;
  NamedMutexes& mutexes_;
  std::u16string prefix_;
  std::vector<std::u16string> queued_;
  std::size_t queuedUnits_ = 0;
};
