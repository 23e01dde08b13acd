// The update dialog's worker: runs one job at a time on a thread of its own
// and tells whether it is idle. What a job wrote is visible to the thread
// that has seen the worker idle again.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "base/event.h"

class UpdateWorker {
 public:
  UpdateWorker() = default;
  // Stops and awaits a running job.
  ~UpdateWorker();
  UpdateWorker(const UpdateWorker&) = delete;
  UpdateWorker& operator=(const UpdateWorker&) = delete;

  // Starts the job; false while another runs or when no thread can be made.
  bool Run(std::function<void(Event& stopSignal)> job);
  bool IsIdle() const { return !busy_.load(std::memory_order_acquire); }
  // Waits, without a time limit, until the running job (if any) has ended.
  void Wait();
  // Signals the running job to stop, then waits for it.
  void Stop();

 private:
  std::thread thread_;
  std::atomic<bool> busy_{false};
  Event stop_{Event::ResetMode::Manual, false};
};
