#include "helpers/clock_keeper.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "fakes/memory_log_area.h"
#include "helpers/clock_targets.h"
#include "helpers/performance_levels.h"
#include "ipc/shared_block_layout.h"

namespace {

const GpuClockLimits kLimits{{300, 1500}, {300, 2250}, 1366, 2000};

// A GPU that keeps its settings in memory and records every call.
class FakeGpu : public GpuDevice {
 public:
  explicit FakeGpu(std::u16string name) : name_(std::move(name)) {}

  const std::u16string& Name() const override { return name_; }
  const GpuClockLimits& Limits() const override { return kLimits; }
  GpuRefusal Read(GpuClockSettings& settings) override {
    settings = current;
    return Call("Read");
  }
  GpuRefusal Capture() override {
    GpuRefusal refusal = Call("Capture");
    if (!refusal) {
      captured = current;
    }
    return refusal;
  }
  GpuRefusal Apply(const GpuClockSettings& settings) override {
    GpuRefusal refusal = Call("Apply " + Utf16ToUtf8(DescribeSettings(settings)));
    if (!refusal) {
      current = settings;
    }
    return refusal;
  }
  GpuRefusal Restore() override {
    GpuRefusal refusal = Call("Restore");
    if (!refusal) {
      current = captured;
    }
    return refusal;
  }

  // Calls other than Read, which the keeper may make as it likes.
  std::vector<std::string> changes;
  std::set<std::string> refused;  // call names (first word) that fail
  GpuClockSettings current{{300, 1366}, {300, 2000}};
  GpuClockSettings captured;

 private:
  GpuRefusal Call(const std::string& call) {
    const std::string name = call.substr(0, call.find(' '));
    if (name != "Read") {
      changes.push_back(call);
    }
    if (refused.count(name)) {
      return u"ADL2_Fake refused: not supported (-8)";
    }
    return std::nullopt;
  }

  std::u16string name_;
};

class FakeLibrary : public DisplayLibrary {
 public:
  std::optional<std::vector<std::u16string>> ListGpus() override { return std::nullopt; }
  std::vector<GpuDevice*> Devices() override { return {&first, &second}; }
  std::vector<std::u16string> Notes() override { return {}; }

  FakeGpu first{u"Radeon RX 580"};
  FakeGpu second{u"Radeon RX 6800"};
};

ClockPlan Plan(std::uint32_t method, std::uint32_t state,
               std::vector<std::u16string> gpus = {u"RADEON RX 580"}) {
  ClockPlan plan;
  plan.blockingMethod = method;
  plan.state = state;
  plan.selectedGpus = std::move(gpus);
  return plan;
}

struct Rig : MemoryLogArea {
  bool Logged(std::u16string_view part) { return Count(part) > 0; }

  FakeLibrary library;
  ClockKeeper keeper{library};
};

using Calls = std::vector<std::string>;

}  // namespace

TEST(ClockTargetsTest, HighestLowestAndCustomClocksClampedToWhatTheGpuAccepts) {
  struct Case {
    const char* name;
    AdlAction action;
    ClockEntry core, memory;
    GpuClockSettings expected;
    const char16_t* note;
  };
  const ClockEntry none{};
  const Case cases[] = {
      {"hold: stock maximum", AdlAction::HoldUp, none, none, {{1366, 1366}, {2000, 2000}}, u""},
      {"down: lowest", AdlAction::ForceDown, none, none, {{300, 300}, {300, 300}}, u""},
      {"hold: offsets from stock",
       AdlAction::HoldUp,
       {true, true, 50},
       {true, true, -100},
       {{1416, 1416}, {1900, 1900}},
       u""},
      {"hold: absolute",
       AdlAction::HoldUp,
       {true, false, 1200},
       none,
       {{1200, 1200}, {2000, 2000}},
       u""},
      {"hold: clamped at both ends",
       AdlAction::HoldUp,
       {true, true, 500},
       {true, false, 100},
       {{1500, 1500}, {300, 300}},
       u"core 1866 MHz asked, 1500 MHz is the most this GPU accepts; memory 100 MHz asked, 300 "
       u"MHz is the least this GPU accepts"},
      {"down: custom clock as ceiling",
       AdlAction::ForceDown,
       {true, false, 800},
       none,
       {{300, 800}, {300, 300}},
       u""},
      {"custom off ignores the value",
       AdlAction::HoldUp,
       {false, false, 9999},
       none,
       {{1366, 1366}, {2000, 2000}},
       u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ClockTargets targets = TargetsFor(c.action, c.core, c.memory, kLimits);
    EXPECT_EQ(targets.settings, c.expected) << Utf16ToUtf8(DescribeSettings(targets.settings));
    EXPECT_EQ(targets.clampNote, c.note);
  }
}

TEST(ClockKeeperTest, EachStateActsOnTheSelectedGpuOnlyAndRestoresWhatItFound) {
  Rig rig;
  rig.library.first.current = {{300, 1300}, {300, 1750}};  // a user's own settings
  rig.keeper.Follow(Plan(2, 0), 0, rig.log);
  rig.keeper.Follow(Plan(2, 0), 200, rig.log);  // nothing new: nothing done
  rig.keeper.Follow(Plan(0, 1), 400, rig.log);
  rig.keeper.Follow(Plan(2, 2), 600, rig.log);
  rig.keeper.Follow(Plan(2, 2), 800, rig.log);
  EXPECT_EQ(rig.library.first.changes, (Calls{"Capture", "Apply core 1366 MHz, memory 2000 MHz",
                                              "Apply core 300 MHz, memory 300 MHz", "Restore"}));
  EXPECT_EQ(rig.library.first.current, (GpuClockSettings{{300, 1300}, {300, 1750}}));
  EXPECT_TRUE(rig.library.second.changes.empty());
  EXPECT_EQ(rig.Lines(),
            (std::vector<std::u16string>{
                u"Radeon RX 580: clocks found: core 300-1300 MHz, memory 300-1750 MHz",
                u"Radeon RX 580: holding the highest clocks: core 1366 MHz, memory 2000 MHz",
                u"Radeon RX 580: forcing the lowest clocks: core 300 MHz, memory 300 MHz",
                u"Radeon RX 580: restored the clocks it had before: core 300-1300 MHz, memory "
                u"300-1750 MHz"}));
}

TEST(ClockKeeperTest, LeavesClocksAloneWhenTheMethodDoesNotUseTheLibraryOrNoGpuIsSelected) {
  struct Case {
    const char* name;
    ClockPlan plan;
    const char16_t* logged;
  };
  const Case cases[] = {
      {"compute method", Plan(0, 0), nullptr},
      {"no control", Plan(3, 2), nullptr},
      {"unknown GPU selected", Plan(2, 0, {u"Radeon VII"}),
       u"none of the GPUs found is selected for clock control"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.keeper.Follow(c.plan, 0, rig.log);
    rig.keeper.Follow(c.plan, 200, rig.log);
    rig.keeper.Restore(rig.log);
    EXPECT_TRUE(rig.library.first.changes.empty());
    EXPECT_TRUE(rig.library.second.changes.empty());
    EXPECT_EQ(rig.Lines().size(), c.logged ? 1u : 0u);
    if (c.logged) {
      EXPECT_TRUE(rig.Logged(c.logged));
    }
  }
}

TEST(ClockKeeperTest, ChecksAgainOnThePollingIntervalOnly) {
  for (std::uint32_t seconds : {0u, 5u}) {
    SCOPED_TRACE(seconds);
    Rig rig;
    ClockPlan plan = Plan(2, 0);
    plan.watchdogSeconds = seconds;
    rig.keeper.Follow(plan, 1000, rig.log);
    rig.library.first.current = {{300, 1366}, {300, 2000}};  // the driver took them back
    for (std::uint64_t now = 1200; now <= 7000; now += 200) {
      rig.keeper.Follow(plan, now, rig.log);
    }
    const Calls expected = seconds == 0 ? Calls{"Capture", "Apply core 1366 MHz, memory 2000 MHz"}
                                        : Calls{"Capture", "Apply core 1366 MHz, memory 2000 MHz",
                                                "Apply core 1366 MHz, memory 2000 MHz"};
    EXPECT_EQ(rig.library.first.changes, expected);
    EXPECT_EQ(rig.Logged(u"by someone else"), seconds != 0);
  }
}

TEST(ClockKeeperTest, RefusalsAreLoggedAndTriedAgainOnChangeOrIntervalNotEveryPass) {
  struct Case {
    const char* refused;
    const char16_t* logged;
    Calls changes;  // after the first hold, three quiet passes, one interval and a release
  };
  const Case cases[] = {
      {"Capture",
       u"cannot read its clocks, so they are left alone: ADL2_Fake refused",
       {"Capture", "Capture"}},
      {"Apply",
       u"could not set core 1366 MHz, memory 2000 MHz: ADL2_Fake refused",
       {"Capture", "Apply core 1366 MHz, memory 2000 MHz", "Apply core 1366 MHz, memory 2000 MHz",
        "Restore"}},
      {"Restore",
       u"could not restore the clocks it had before: ADL2_Fake refused",
       {"Capture", "Apply core 1366 MHz, memory 2000 MHz", "Restore", "Restore"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.refused);
    Rig rig;
    rig.library.first.refused.insert(c.refused);
    ClockPlan hold = Plan(2, 0);
    hold.watchdogSeconds = 1;
    ClockPlan release = Plan(2, 2);
    release.watchdogSeconds = 1;
    rig.keeper.Follow(hold, 0, rig.log);
    rig.keeper.Follow(hold, 200, rig.log);
    rig.keeper.Follow(hold, 400, rig.log);
    rig.keeper.Follow(hold, 1000, rig.log);  // the interval
    rig.keeper.Follow(release, 1200, rig.log);
    rig.keeper.Follow(release, 1400, rig.log);
    rig.keeper.Restore(rig.log);  // the helper stops
    EXPECT_EQ(rig.library.first.changes, c.changes);
    EXPECT_TRUE(rig.Logged(c.logged));
  }
}

TEST(ClockKeeperTest, StoppingRestoresOnlyTheGpusItChanged) {
  Rig rig;
  rig.keeper.Follow(Plan(3, 1, {u"Radeon RX 6800"}), 0, rig.log);
  rig.keeper.Restore(rig.log);
  rig.keeper.Restore(rig.log);
  EXPECT_TRUE(rig.library.first.changes.empty());
  EXPECT_EQ(rig.library.second.changes,
            (Calls{"Capture", "Apply core 300 MHz, memory 300 MHz", "Restore"}));
}

TEST(PerformanceLevelsTest, RangesPickTheLevelsAGpuWithALevelListRunsAt) {
  const std::vector<PerformanceLevel> found = {{300, true}, {600, true}, {900, true}, {1366, true}};
  struct Case {
    const char* name;
    ClockRange range;
    std::vector<PerformanceLevel> expected;
  };
  const Case cases[] = {
      {"hold the top", {1366, 1366}, {{300, false}, {600, false}, {900, false}, {1366, true}}},
      {"custom top clock moves the top level",
       {1416, 1416},
       {{300, false}, {600, false}, {900, false}, {1416, true}}},
      {"force the bottom", {300, 300}, {{300, true}, {600, false}, {900, false}, {1366, false}}},
      {"tie goes to the higher level",
       {750, 750},
       {{300, false}, {600, false}, {750, true}, {1366, false}}},
      {"window enables the levels inside",
       {300, 800},
       {{300, true}, {600, true}, {900, false}, {1366, false}}},
      {"window without a level inside pins its top",
       {1000, 1100},
       {{300, false}, {600, false}, {1100, true}, {1366, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<PerformanceLevel> levels = LevelsFor(found, c.range);
    EXPECT_EQ(levels, c.expected);
    EXPECT_EQ(RangeOf(levels).max, c.range.max == 800 ? 600 : c.range.max);
  }
  EXPECT_EQ(RangeOf({{300, false}}), (ClockRange{0, 0}));
}
