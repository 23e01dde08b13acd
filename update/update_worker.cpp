#include "update/update_worker.h"

#include <system_error>

UpdateWorker::~UpdateWorker() {
  Stop();
}

bool UpdateWorker::Run(std::function<void(Event& stopSignal)> job) {
  if (!IsIdle()) {
    return false;
  }
  Wait();
  stop_.Reset();
  busy_.store(true, std::memory_order_release);
  try {
    thread_ = std::thread([this, job = std::move(job)] {
      job(stop_);
      busy_.store(false, std::memory_order_release);
    });
  } catch (const std::system_error&) {
    busy_.store(false, std::memory_order_release);
    return false;
  }
  return true;
}

void UpdateWorker::Wait() {
  if (thread_.joinable()) {
    thread_.join();
  }
}

void UpdateWorker::Stop() {
  stop_.Set();
  Wait();
}
