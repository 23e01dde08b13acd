#include "app/worker_pool.h"

#include <system_error>
#include <thread>

class WorkerPool::Worker {
 public:
  Worker() = default;
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  bool IsIdle() const { return idle_.IsSet(); }
  void WaitIdle() { idle_.Wait(); }

  void SignalStop() {
    std::lock_guard<std::mutex> lock(workerLock_);
    stopSignal_.Set();
  }

  bool HandOff(Job& job) {
    std::lock_guard<std::mutex> lock(workerLock_);
    if (stopping_ || !idle_.IsSet() || !EnsureThread()) {
      return false;
    }
    std::lock_guard<std::mutex> jobLock(jobLock_);
    if (!idle_.IsSet() || slot_) {
      return false;
    }
    slot_ = std::move(job);
    idle_.Reset();
    wake_.Set();
    return true;
  }

  // Ends the thread; the pool has stopped every job before.
  void Shutdown() {
    {
      std::lock_guard<std::mutex> lock(workerLock_);
      stopping_ = true;
      if (!thread_.joinable()) {
        return;
      }
      if (!idle_.IsSet()) {
        stopSignal_.Set();
      }
    }
    idle_.Wait();
    wake_.Set();
    exited_.Wait();
    thread_.join();
  }

 private:
  bool EnsureThread() {
    if (thread_.joinable()) {
      return true;
    }
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }

  void Run() {
    while (true) {
      wake_.Wait();
      if (IsStopping()) {
        {
          std::lock_guard<std::mutex> jobLock(jobLock_);
          idle_.Set();
          slot_ = nullptr;
        }
        exited_.Set();
        return;
      }
      Job job;
      {
        std::lock_guard<std::mutex> jobLock(jobLock_);
        if (!slot_) {
          exited_.Set();
          return;
        }
        job = std::move(slot_);
        slot_ = nullptr;
      }
      job(stopSignal_);
      job = nullptr;
      stopSignal_.Reset();
      std::lock_guard<std::mutex> jobLock(jobLock_);
      if (!slot_) {
        wake_.Reset();
        idle_.Set();
      }
    }
  }

  bool IsStopping() {
    std::lock_guard<std::mutex> lock(workerLock_);
    return stopping_;
  }

  bool stopping_ = false;
  std::thread thread_;
  Event idle_{Event::ResetMode::Manual, true};
  Event exited_{Event::ResetMode::Manual, false};
  std::mutex workerLock_;
  std::mutex jobLock_;
  Job slot_;
  Event wake_{Event::ResetMode::Manual, false};
  Event stopSignal_{Event::ResetMode::Manual, false};
};

WorkerPool::WorkerPool() = default;

WorkerPool::~WorkerPool() {
  StopAll();
  std::lock_guard<std::mutex> lock(lock_);
  for (auto& worker : workers_) {
    worker->Shutdown();
  }
  workers_.clear();
}

bool WorkerPool::SetMaxWorkers(std::uint32_t n) {
  std::lock_guard<std::mutex> lock(lock_);
  if (closed_) {
    return false;
  }
  if (limit_ < n || workers_.size() < n) {
    limit_ = n;
  }
  return true;
}

bool WorkerPool::RunJob(Job job) {
  std::lock_guard<std::mutex> lock(lock_);
  if (closed_) {
    return false;
  }
  for (auto& worker : workers_) {
    if (worker->IsIdle() && worker->HandOff(job)) {
      return true;
    }
  }
  if (workers_.size() >= limit_) {
    return false;
  }
  auto worker = std::make_unique<Worker>();
  if (!worker->HandOff(job)) {
    return false;
  }
  workers_.push_back(std::move(worker));
  return true;
}

void WorkerPool::StopAll() {
  std::lock_guard<std::mutex> lock(lock_);
  for (auto& worker : workers_) {
    if (!worker->IsIdle()) {
      worker->SignalStop();
    }
  }
  for (auto& worker : workers_) {
    worker->WaitIdle();
  }
  limit_ = 0;
  closed_ = true;
}

std::size_t WorkerPool::WorkerCount() const {
  std::lock_guard<std::mutex> lock(lock_);
  return workers_.size();
}
