#include "helpers/compute_load.h"

#include <cmath>
#include <system_error>
#include <utility>

#include "base/text.h"
#include "helpers/compute_pacing.h"

namespace {

double MsBetween(std::chrono::steady_clock::time_point from,
                 std::chrono::steady_clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

ComputeLoad::ComputeLoad(EngineFactory factory) : factory_(std::move(factory)) {}

ComputeLoad::~ComputeLoad() {
  Stop();
}

void ComputeLoad::Start(ComputeKernel kernel) {
  Stop();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = false;
    kernel_ = kernel;
    figures_ = {};
    runningSince_.reset();
    endedAt_.reset();
  }
  try {
    thread_ = std::thread(&ComputeLoad::Work, this);
  } catch (const std::system_error& error) {
    Post(LoadEvent::Kind::CouldNotStart, u"no thread for the load: " + Utf8ToUtf16(error.what()));
  }
}

void ComputeLoad::Switch(ComputeKernel kernel) {
  std::lock_guard<std::mutex> lock(mutex_);
  kernel_ = kernel;
}

void ComputeLoad::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  stopped_.notify_all();
  if (thread_.joinable()) {
    thread_.join();
  }
}

std::vector<LoadEvent> ComputeLoad::TakeEvents() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(events_, {});
}

LoadFigures ComputeLoad::Figures() const {
  std::lock_guard<std::mutex> lock(mutex_);
  LoadFigures figures = figures_;
  if (runningSince_) {
    figures.elapsedMs = MsBetween(*runningSince_, endedAt_.value_or(Clock::now()));
  }
  return figures;
}

void ComputeLoad::Work() {
  std::unique_ptr<ComputeEngine> engine;
  bool opened = false;
  // Whatever goes wrong ends the load, never the helper.
  try {
    engine = factory_();
    if (!engine) {
      throw ComputeEngineError(u"no compute device on this system");
    }
    Run(*engine, opened);
  } catch (const ComputeEngineError& error) {
    Post(opened ? LoadEvent::Kind::Failed : LoadEvent::Kind::CouldNotStart, error.reason());
  } catch (const std::exception& error) {
    Post(opened ? LoadEvent::Kind::Failed : LoadEvent::Kind::CouldNotStart,
         u"unexpected error: " + Utf8ToUtf16(error.what()));
  } catch (...) {
    Post(opened ? LoadEvent::Kind::Failed : LoadEvent::Kind::CouldNotStart,
         u"unexpected error of an unknown kind");
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (runningSince_) {
      endedAt_ = Clock::now();
    }
  }
  if (engine) {
    try {
      if (std::optional<std::u16string> note = engine->Close()) {
        Post(LoadEvent::Kind::Note, *note);
      }
    } catch (...) {
      // Nothing more to release; the thread must end quietly.
    }
  }
}

void ComputeLoad::Run(ComputeEngine& engine, bool& opened) {
  const std::u16string device = engine.Open();
  opened = true;
  ComputeKernel kernel;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    runningSince_ = Clock::now();
    events_.push_back({LoadEvent::Kind::Running, device});
    kernel = kernel_;
  }
  ComputePacing pacing = PacingFor(kernel);
  std::optional<Clock::time_point> lastSubmitted;
  while (true) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) {
        return;
      }
      if (kernel_ != kernel) {
        kernel = kernel_;
        pacing = PacingFor(kernel);
      }
    }
    const std::uint32_t groups = pacing.Groups();
    const Clock::time_point submitted = Clock::now();
    engine.Submit(kernel, groups);
    if (PauseOrStop(pacing.PauseMs())) {
      return;
    }
    const std::optional<double> gpuMs = engine.Collect();
    pacing.Measured(gpuMs, lastSubmitted
                               ? std::optional<double>(MsBetween(*lastSubmitted, submitted))
                               : std::nullopt);
    lastSubmitted = submitted;
    std::lock_guard<std::mutex> lock(mutex_);
    ++figures_.dispatches;
    figures_.groups += groups;
    if (gpuMs) {
      ++figures_.timedDispatches;
      figures_.gpuMs += *gpuMs;
    }
  }
}

void ComputeLoad::Post(LoadEvent::Kind kind, std::u16string text) {
  std::lock_guard<std::mutex> lock(mutex_);
  events_.push_back({kind, std::move(text)});
}

bool ComputeLoad::PauseOrStop(double pauseMs) {
  const auto pause = std::chrono::microseconds(std::llround(pauseMs * 1000));
  std::unique_lock<std::mutex> lock(mutex_);
  return stopped_.wait_for(lock, pause, [this] { return stop_; });
}
