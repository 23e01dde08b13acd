#include "ipc/ipc_listener.h"

#include <chrono>
#include <string>

#include "app/log.h"
#include "base/text.h"

namespace {

constexpr std::uint32_t kLogMutexTimeoutMs = 5000;
constexpr std::chrono::milliseconds kPassInterval(200);

}  // namespace

void IpcListener::Run(Event& stopSignal) {
  while (!stopSignal.Wait(std::chrono::milliseconds(0))) {
    DrainOnce();
    stopSignal.Wait(kPassInterval);
  }
}

void IpcListener::DrainOnce() {
  if (!sharedBlock_.IsOpen()) {
    return;
  }
  std::uint8_t* bytes = sharedBlock_.Bytes();
  // Tested without the mutex, so that an idle pass never contends with the
  // helpers.
  if (block::ReadU32(bytes, block::kLogLength) == 0) {
    return;
  }
  std::u16string text;
  {
    NamedMutexLock log(sharedBlock_.Mutexes(), block::kLogMutex, kLogMutexTimeoutMs);
    if (!log.Acquired()) {
      return;
    }
    std::uint32_t length = block::ReadU32(bytes, block::kLogLength);
    if (length > block::kLogTextUnits) {
      length = static_cast<std::uint32_t>(block::kLogTextUnits);
    }
    text.resize(length);
    for (std::uint32_t i = 0; i < length; ++i) {
      text[i] = block::ReadUnit(bytes, block::kLogText + 2 * static_cast<std::size_t>(i));
    }
    block::WriteU32(bytes, block::kLogLength, 0);
  }
  text = NormalizeLineBreaks(text);
  while (!text.empty() && text.back() == u'\n') {
    text.pop_back();
  }
  if (!text.empty()) {
    Log(text);
  }
}
