// Every background thread of the application runs as a job on this pool.
// Workers are created lazily, one per job that finds no idle worker, and
// reused. A job receives its worker's stop signal, watches it instead of
// sleeping, and returns soon after it is set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "base/event.h"

using Job = std::function<void(Event& stopSignal)>;

class WorkerPool {
 public:
  WorkerPool();
  // Stops every job and ends every worker thread.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Raises the worker limit to n; false on a closed pool.
  bool SetMaxWorkers(std::uint32_t n);
  // Hands the job to an idle worker, or to a new one below the limit. False
  // when the pool is closed, the limit is reached with no idle worker, or a
  // thread cannot be created.
  bool RunJob(Job job);
  // Signals every running job to stop, waits until each has returned, then
  // closes the pool.
  void StopAll();

  std::size_t WorkerCount() const;

 private:
  class Worker;

  mutable std::mutex lock_;
  std::vector<std::unique_ptr<Worker>> workers_;
  std::uint32_t limit_ = 0;
  bool closed_ = false;
};
