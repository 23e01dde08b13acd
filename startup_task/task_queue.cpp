#include "startup_task/task_queue.h"

void RunTaskRequests(const std::vector<std::uint8_t>& requests, StartupTask& task,
                     const std::function<void()>& refreshGeneralTab) {
  for (const std::uint8_t request : requests) {
    bool done = true;
    if (request == kCreateTaskRequest) {
      done = task.ScheduleTask();
    } else if (request == kRemoveTaskRequest) {
      done = task.UnscheduleTask();
    }
    if (!done && refreshGeneralTab) {
      refreshGeneralTab();
    }
  }
}
