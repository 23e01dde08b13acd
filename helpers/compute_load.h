// The compute load's work thread: opens an engine, then dispatches the
// current kernel, paced, until it is stopped or the engine fails. It never
// logs itself: the follower takes its events on the helper's thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "helpers/compute_engine.h"
#include "helpers/compute_figures.h"
#include "helpers/compute_kernel.h"

struct LoadEvent {
  enum class Kind {
    Running,        // text: the engine's description
    CouldNotStart,  // text: the reason; the thread has ended
    Failed,         // text: the reason; the thread has ended
    Note,           // text: a remark of the engine as it closed
  };
  Kind kind;
  std::u16string text;
  bool operator==(const LoadEvent&) const = default;
};

class ComputeLoad {
 public:
  using EngineFactory = std::function<std::unique_ptr<ComputeEngine>()>;

  explicit ComputeLoad(EngineFactory factory);
  ~ComputeLoad();
  ComputeLoad(const ComputeLoad&) = delete;
  ComputeLoad& operator=(const ComputeLoad&) = delete;

  // Starts the work thread with a new engine; stops an earlier one first.
  void Start(ComputeKernel kernel);
  // The kernel of the next dispatches.
  void Switch(ComputeKernel kernel);
  // Ends the work thread and waits for it: within one pause, or when the
  // engine is opening, once it is open. The engine is released on return.
  void Stop();

  // What the work thread reported since the last call, oldest first.
  std::vector<LoadEvent> TakeEvents();
  // Since the last start; they stop growing when the thread ends.
  LoadFigures Figures() const;

 private:
  using Clock = std::chrono::steady_clock;

  void Work();
  void Run(ComputeEngine& engine, bool& opened);
  void Post(LoadEvent::Kind kind, std::u16string text);
  // Waits for the pause; true when stopped meanwhile.
  bool PauseOrStop(double pauseMs);

  const EngineFactory factory_;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  bool stop_ = false;
  ComputeKernel kernel_ = ComputeKernel::Reliable;
  std::vector<LoadEvent> events_;
  LoadFigures figures_;
  std::optional<Clock::time_point> runningSince_;
  std::optional<Clock::time_point> endedAt_;
};
