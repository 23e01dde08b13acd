#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "fakes/memory_log_area.h"
#include "helpers/compute_figures.h"
#include "helpers/compute_follower.h"
#include "helpers/compute_kernel.h"
#include "helpers/compute_load.h"
#include "helpers/compute_pacing.h"
#include "ipc/shared_block_layout.h"

namespace {

// What the engines of one test did, and how they are to fail.
struct EngineScript {
  std::mutex mutex;
  int made = 0;
  int open = 0;  // opened and not closed yet
  std::vector<ComputeKernel> submitted;
  int collected = 0;
  std::optional<double> gpuMs = 0.05;
  const char* failIn = "";        // "Open", "Submit" or "Collect"
  bool failUnexpectedly = false;  // a std::runtime_error instead of an engine error
  std::optional<std::u16string> closeNote;

  int Submitted(ComputeKernel kernel) {
    std::lock_guard<std::mutex> lock(mutex);
    int count = 0;
    for (ComputeKernel k : submitted) {
      count += k == kernel ? 1 : 0;
    }
    return count;
  }
  int Open() {
    std::lock_guard<std::mutex> lock(mutex);
    return open;
  }
  int Made() {
    std::lock_guard<std::mutex> lock(mutex);
    return made;
  }
};

class FakeEngine : public ComputeEngine {
 public:
  explicit FakeEngine(EngineScript& script) : script_(script) {}

  std::u16string Open() override {
    MaybeFail("Open");
    std::lock_guard<std::mutex> lock(script_.mutex);
    ++script_.open;
    opened_ = true;
    return u"Fake GPU";
  }
  void Submit(ComputeKernel kernel, std::uint32_t) override {
    MaybeFail("Submit");
    std::lock_guard<std::mutex> lock(script_.mutex);
    script_.submitted.push_back(kernel);
  }
  std::optional<double> Collect() override {
    MaybeFail("Collect");
    std::lock_guard<std::mutex> lock(script_.mutex);
    ++script_.collected;
    return script_.gpuMs;
  }
  std::optional<std::u16string> Close() override {
    std::lock_guard<std::mutex> lock(script_.mutex);
    script_.open -= opened_ ? 1 : 0;
    opened_ = false;
    return script_.closeNote;
  }

 private:
  void MaybeFail(const std::string& step) {
    if (step != script_.failIn) {
      return;
    }
    if (script_.failUnexpectedly) {
      throw std::runtime_error("out of " + step);
    }
    throw ComputeEngineError(u"the device was removed in " + Utf8ToUtf16(step));
  }

  EngineScript& script_;
  bool opened_ = false;
};

ComputeLoad::EngineFactory FactoryOf(EngineScript& script) {
  return [&script]() -> std::unique_ptr<ComputeEngine> {
    std::lock_guard<std::mutex> lock(script.mutex);
    ++script.made;
    return std::make_unique<FakeEngine>(script);
  };
}

template <typename Predicate>
bool Eventually(Predicate predicate) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!predicate()) {
    if (std::chrono::steady_clock::now() > end) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

ClockPlan Plan(std::uint32_t method, std::uint32_t state) {
  ClockPlan plan;
  plan.blockingMethod = method;
  plan.state = state;
  return plan;
}

struct Rig : MemoryLogArea {
  std::string Text() {
    std::string text;
    for (const std::u16string& line : Lines()) {
      text += Utf16ToUtf8(line) + "\n";
    }
    return text;
  }
  // Passes with the same plan until the predicate holds.
  bool FollowUntil(const ClockPlan& plan, const std::function<bool()>& predicate) {
    return Eventually([&] {
      follower.Follow(plan, nowMs, log);
      return predicate();
    });
  }

  EngineScript script;
  ComputeFollower follower{FactoryOf(script)};
  std::uint64_t nowMs = 0;
};

}  // namespace

TEST(ComputeFollowerTest, RunsTheKernelOfEachComputeMethodAndStopsWhenThePlanNoLongerWantsIt) {
  struct Case {
    const char* name;
    ClockPlan start;
    ComputeKernel kernel;
    ClockPlan stop;
  };
  const Case cases[] = {
      {"reliable until no control", Plan(0, 0), ComputeKernel::Reliable, Plan(0, 2)},
      {"alternate until the method is ADL", Plan(1, 0), ComputeKernel::Alternate, Plan(2, 0)},
      {"combined until a forced downclock", Plan(3, 0), ComputeKernel::Reliable, Plan(3, 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.follower.Follow(c.start, 0, rig.log);
    ASSERT_TRUE(Eventually([&] { return rig.script.Submitted(c.kernel) >= 3; }));
    rig.follower.Follow(c.start, 200, rig.log);
    rig.follower.Follow(c.stop, 400, rig.log);
    // Stopped on return: the device is closed and nothing more is dispatched.
    EXPECT_EQ(rig.script.Open(), 0);
    const std::size_t dispatched = rig.script.submitted.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(rig.script.submitted.size(), dispatched);
    EXPECT_EQ(rig.script.Submitted(c.kernel), static_cast<int>(dispatched));
    rig.follower.Follow(c.stop, 600, rig.log);

    const std::vector<std::u16string> lines = rig.Lines();
    ASSERT_EQ(lines.size(), 3u) << rig.Text();
    EXPECT_TRUE(lines[0].starts_with(u"starting the compute load with the " +
                                     std::u16string(KernelName(c.kernel)) + u" kernel"))
        << rig.Text();
    EXPECT_EQ(lines[1], u"compute load running on Fake GPU");
    EXPECT_TRUE(lines[2].starts_with(u"compute load stopped: ")) << rig.Text();
    EXPECT_NE(lines[2].find(u"GPU busy"), std::u16string::npos) << rig.Text();
    EXPECT_EQ(rig.script.made, 1);
  }
}

TEST(ComputeFollowerTest, SwitchesKernelsOnTheSameDeviceWhenTheMethodChanges) {
  Rig rig;
  rig.follower.Follow(Plan(0, 0), 0, rig.log);
  ASSERT_TRUE(Eventually([&] { return rig.script.Submitted(ComputeKernel::Reliable) > 0; }));
  rig.follower.Follow(Plan(1, 0), 200, rig.log);
  ASSERT_TRUE(Eventually([&] { return rig.script.Submitted(ComputeKernel::Alternate) > 0; }));
  const int reliable = rig.script.Submitted(ComputeKernel::Reliable);
  rig.follower.Follow(Plan(3, 0), 400, rig.log);
  ASSERT_TRUE(Eventually([&] { return rig.script.Submitted(ComputeKernel::Reliable) > reliable; }));
  rig.follower.Restore(rig.log);

  EXPECT_EQ(rig.script.made, 1);
  EXPECT_EQ(rig.script.Open(), 0);
  EXPECT_EQ(rig.Count(u"compute load switched to the alternate kernel"), 1) << rig.Text();
  EXPECT_EQ(rig.Count(u"compute load switched to the reliable kernel"), 1) << rig.Text();
  EXPECT_EQ(rig.Count(u"compute load stopped: "), 1) << rig.Text();
}

TEST(ComputeFollowerTest, RestoreStopsARunningLoadAndLogsTheEnginesNote) {
  Rig rig;
  rig.follower.Restore(rig.log);
  EXPECT_TRUE(rig.Lines().empty()) << "nothing to stop";

  rig.script.closeNote = u"device still referenced once";
  rig.follower.Follow(Plan(0, 0), 0, rig.log);
  ASSERT_TRUE(Eventually([&] { return rig.script.collected > 0; }));
  rig.follower.Restore(rig.log);
  EXPECT_EQ(rig.script.Open(), 0);
  const std::vector<std::u16string> lines = rig.Lines();
  ASSERT_EQ(lines.size(), 4u) << rig.Text();
  EXPECT_EQ(lines[2], u"compute load: device still referenced once");
  EXPECT_TRUE(lines[3].starts_with(u"compute load stopped: ")) << rig.Text();
}

TEST(ComputeFollowerTest, AFailureIsLoggedOnceAndTriedAgainOnlyWhenThePlanChanges) {
  struct Case {
    const char* failIn;
    bool unexpected;
    const char16_t* logged;
  };
  const Case cases[] = {
      {"Open", false,
       u"compute load could not start: the device was removed in Open; it is tried again when "
       u"the clock state changes"},
      {"Open", true, u"compute load could not start: unexpected error: out of Open"},
      {"Submit", true, u": unexpected error: out of Submit; it is tried again"},
      {"Collect", false, u": the device was removed in Collect; it is tried again"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.failIn) + (c.unexpected ? " unexpected" : ""));
    Rig rig;
    rig.script.failIn = c.failIn;
    rig.script.failUnexpectedly = c.unexpected;
    ASSERT_TRUE(rig.FollowUntil(Plan(0, 0), [&] { return rig.Count(c.logged) > 0; })) << rig.Text();
    for (int pass = 0; pass < 10; ++pass) {
      rig.follower.Follow(Plan(0, 0), 0, rig.log);
    }
    if (std::string(c.failIn) != "Open") {
      EXPECT_EQ(rig.Count(u"compute load failed and stopped after "), 1) << rig.Text();
    }
    EXPECT_EQ(rig.Count(c.logged), 1) << rig.Text();
    EXPECT_EQ(rig.script.Made(), 1) << "no new attempt while the plan stays";
    EXPECT_EQ(rig.script.Open(), 0);

    // A change of plan, here through no control, brings a new attempt.
    rig.follower.Follow(Plan(0, 2), 0, rig.log);
    rig.follower.Follow(Plan(0, 0), 0, rig.log);
    EXPECT_TRUE(Eventually([&] { return rig.script.Made() == 2; }));
    EXPECT_EQ(rig.Count(u"starting the compute load"), 2) << rig.Text();
    EXPECT_EQ(rig.Count(u"compute load stopped"), 0) << "a failed load is not stopped again";
  }
}

TEST(ComputeFollowerTest, ReportsTheLoadAtMostOnceAMinuteWhileItRuns) {
  Rig rig;
  const std::u16string report = u"compute load in the last minute: ";
  rig.follower.Follow(Plan(0, 0), 1000, rig.log);
  ASSERT_TRUE(Eventually([&] { return rig.script.collected > 0; }));
  for (std::uint64_t now : {1200u, 60999u}) {
    rig.follower.Follow(Plan(0, 0), now, rig.log);
  }
  EXPECT_EQ(rig.Count(report), 0);
  for (std::uint64_t now : {61000u, 61200u, 120999u}) {
    rig.follower.Follow(Plan(0, 0), now, rig.log);
  }
  EXPECT_EQ(rig.Count(report), 1);
  rig.follower.Follow(Plan(0, 0), 121000, rig.log);
  EXPECT_EQ(rig.Count(report), 2);

  // A new run counts from its own start.
  rig.follower.Follow(Plan(0, 2), 130000, rig.log);
  rig.follower.Follow(Plan(0, 0), 140000, rig.log);
  rig.follower.Follow(Plan(0, 0), 199999, rig.log);
  EXPECT_EQ(rig.Count(report), 2);
}

TEST(ComputeLoadTest, FiguresCountTheCollectedDispatchesAndStopGrowingWhenStopped) {
  struct Case {
    const char* name;
    std::optional<double> gpuMs;
  };
  for (const Case& c : {Case{"timed", 0.25}, Case{"not timed", std::nullopt}}) {
    SCOPED_TRACE(c.name);
    EngineScript script;
    script.gpuMs = c.gpuMs;
    ComputeLoad load(FactoryOf(script));
    load.Start(ComputeKernel::Alternate);
    ASSERT_TRUE(Eventually([&] { return load.Figures().dispatches >= 3; }));
    load.Stop();
    const LoadFigures figures = load.Figures();
    EXPECT_EQ(figures.dispatches, static_cast<std::uint64_t>(script.collected));
    EXPECT_EQ(figures.groups, figures.dispatches) << "the alternate kernel runs one group";
    EXPECT_EQ(figures.timedDispatches, c.gpuMs ? figures.dispatches : 0u);
    EXPECT_DOUBLE_EQ(figures.gpuMs, c.gpuMs.value_or(0) * static_cast<double>(figures.dispatches));
    EXPECT_GT(figures.elapsedMs, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(load.Figures().elapsedMs, figures.elapsedMs);
    EXPECT_EQ(load.TakeEvents(), (std::vector<LoadEvent>{{LoadEvent::Kind::Running, u"Fake GPU"}}));
  }
}

TEST(ComputePacingTest, AdaptivePacingSettlesWithinItsBounds) {
  struct Case {
    const char* name;
    double msPerGroup;
    double lateMs;  // each period lasts this much longer than the pause
    std::uint32_t groups;
    double pauseMs;
  };
  const PacingLimits limits;  // 2 % busy, 0.25 ms dispatches, pauses 2-20 ms, 1024 groups
  const Case cases[] = {
      {"fits the target", 0.001, 0, 250, 12.5},
      {"late periods make the pause shorter", 0.001, 6, 250, 6.5},
      {"never below the shortest pause", 0.001, 12, 250, 2},
      {"fast GPU: the most groups", 0.000001, 0, 1024, 2},
      {"slow GPU: one group, the longest pause", 2, 0, 1, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ComputePacing pacing(limits);
    for (int i = 0; i < 100; ++i) {
      pacing.Measured(c.msPerGroup * pacing.Groups(), pacing.PauseMs() + c.lateMs);
    }
    EXPECT_EQ(pacing.Groups(), c.groups);
    EXPECT_NEAR(pacing.PauseMs(), c.pauseMs, 0.05);
  }
}

TEST(ComputePacingTest, ShrinksAtOnceWhenADispatchTakesLongerAndGrowsBackByDoublingAtMost) {
  ComputePacing pacing{PacingLimits{}};
  for (int i = 0; i < 100; ++i) {
    pacing.Measured(0.001 * pacing.Groups(), pacing.PauseMs());
  }
  ASSERT_EQ(pacing.Groups(), 250u);

  // The GPU got busy elsewhere: this dispatch took ten times as long.
  pacing.Measured(2.5, pacing.PauseMs());
  EXPECT_EQ(pacing.Groups(), 25u);
  EXPECT_NEAR(pacing.PauseMs(), 12.5, 0.01) << "still 0.25 ms dispatches for 2 %";

  std::uint32_t before = pacing.Groups();
  for (int i = 0; i < 100; ++i) {
    pacing.Measured(0.001 * pacing.Groups(), pacing.PauseMs());
    EXPECT_GE(pacing.Groups(), before);
    EXPECT_LE(pacing.Groups(), 2 * before);
    before = pacing.Groups();
  }
  EXPECT_EQ(pacing.Groups(), 250u);
}

TEST(ComputePacingTest, KeepsItsSettingsWithoutGpuTimesAndWhenFixed) {
  ComputePacing adaptive{PacingLimits{}};
  ComputePacing fixed = PacingFor(ComputeKernel::Alternate);
  for (int i = 0; i < 20; ++i) {
    adaptive.Measured(std::nullopt, 50);
    fixed.Measured(3.0, 50);
  }
  EXPECT_EQ(adaptive.Groups(), 1u);
  EXPECT_EQ(adaptive.PauseMs(), PacingLimits{}.maxPauseMs);
  EXPECT_EQ(fixed.Groups(), 1u);
  EXPECT_EQ(fixed.PauseMs(), kAlternatePauseMs);
}

TEST(LoadFiguresTest, DescribesRatesAveragesAndTheBusyShare) {
  struct Case {
    LoadFigures figures;
    const char16_t* text;
  };
  const Case cases[] = {
      {{0, 0, 0, 0, 1500}, u"no dispatches in 1.5 s"},
      {{512, 512, 128, 512 * 120, 10240},
       u"512 dispatches in 10.2 s (50.0/s) of 120 thread groups and 0.250 ms GPU time each, GPU "
       u"busy 1.25 %"},
      // The untimed dispatches count as the timed ones did.
      {{10, 5, 1, 10, 100},
       u"10 dispatches in 0.1 s (100.0/s) of 1 thread group and 0.200 ms GPU time each, GPU busy "
       u"2.00 %"},
      {{100, 0, 0, 150, 1000},
       u"100 dispatches in 1.0 s (100.0/s) of 2 thread groups, GPU time not measured"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(DescribeLoad(c.figures)), Utf16ToUtf8(c.text));
  }
  const LoadFigures later{300, 200, 50, 900, 6000};
  const LoadFigures earlier{100, 100, 20, 300, 1000};
  EXPECT_EQ(Utf16ToUtf8(DescribeLoad(later.Since(earlier))),
            "200 dispatches in 5.0 s (40.0/s) of 3 thread groups and 0.300 ms GPU time each, GPU "
            "busy 1.20 %");
}

TEST(ComputeKernelTest, EachKernelAndSeedLeavesItsOwnValue) {
  // The self-check tells a kernel that did not run (the texture keeps its
  // fill value) or ran the other kernel's code from a right one.
  for (std::uint32_t seed : {0u, 1u, 12345u, 0xFFFFFFFFu}) {
    const std::uint32_t reliable = KernelValue(ComputeKernel::Reliable, seed);
    const std::uint32_t alternate = KernelValue(ComputeKernel::Alternate, seed);
    EXPECT_NE(reliable, alternate) << seed;
    EXPECT_NE(reliable, kUnwrittenTexel);
    EXPECT_NE(alternate, kUnwrittenTexel);
    EXPECT_NE(KernelValue(ComputeKernel::Reliable, seed + 1), reliable);
  }
}
