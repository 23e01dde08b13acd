// The controller's logon-task requests, as the General tab's "Start With
// Windows" box queues them: 0 creates the task, 1 removes it.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "startup_task/startup_task.h"

inline constexpr std::uint8_t kCreateTaskRequest = 0;
inline constexpr std::uint8_t kRemoveTaskRequest = 1;

// Runs the requests in order; after each that fails, refreshGeneralTab has
// the General tab re-read its controls so the box shows the real state.
void RunTaskRequests(const std::vector<std::uint8_t>& requests, StartupTask& task,
                     const std::function<void()>& refreshGeneralTab);

// Serves the queue under the modal guard (TryAcquire/Release, as the
// controller's ModalGuard offers them). A busy guard leaves the queue for a
// later tick. The requests are taken out first: prompts shown while they run
// pump messages, and a click then queues a new request for the next serving.
template <typename Guard>
void ServeTaskQueue(std::vector<std::uint8_t>& taskQueue, Guard& modalGuard, StartupTask& task,
                    const std::function<void()>& refreshGeneralTab) {
  if (taskQueue.empty() || !modalGuard.TryAcquire()) {
    return;
  }
  const std::vector<std::uint8_t> requests = std::exchange(taskQueue, {});
  RunTaskRequests(requests, task, refreshGeneralTab);
  modalGuard.Release();
}
