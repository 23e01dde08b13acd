#include "app/startup_wait.h"

#include <gtest/gtest.h>

#include "fakes/fake_startup_environment.h"

TEST(StartupWaitTest, SwitchIsFoundTrimmedInAnyCase) {
  EXPECT_TRUE(HasStartupSwitch({u"x.exe", u" \tSTARTUP_LAUNCHED "}));
  EXPECT_TRUE(HasStartupSwitch({u"startup_launched"}));
  EXPECT_FALSE(HasStartupSwitch({u"x.exe", u"-startup_launched"}));
  EXPECT_FALSE(HasStartupSwitch({}));
}

TEST(StartupWaitTest, LimitsAcceptDigitsOnly) {
  struct Case {
    const char16_t* text;
    std::uint64_t ms;
  };
  const Case cases[] = {{u"10", 10000}, {u" 5\t", 5000}, {u"", 0},      {u"-3", 0},
                        {u"abc", 0},    {u"1.5", 0},     {u"007", 7000}};
  for (const Case& c : cases) {
    EXPECT_EQ(WaitLimitMs(c.text), c.ms);
  }
}

TEST(StartupWaitTest, ProcessMatchesByFileNameOrFolder) {
  struct Case {
    const char16_t* name;
    const char16_t* path;
    bool matches;
  };
  const Case cases[] = {
      {u"steam.exe", u"C:\\Steam\\Steam.exe", true},
      {u"c:\\steam\\", u"C:/Steam/steam.exe", true},
      {u"C:\\Steam\\steam.exe", u"C:\\Steam\\steam.exe", false},
      {u"C:\\Steam", u"C:\\Steam\\steam.exe", false},
      {u"steam.exe", u"steam.exe", true},
      {u"", u"C:\\Steam\\steam.exe", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProcessPathMatches(c.name, c.path), c.matches);
  }
}

TEST(StartupWaitTest, WaitsForTheLimitThenTheAfterTime) {
  struct Case {
    const char* what;
    bool withSwitch;
    const char16_t* appear;
    std::u16string running;
    std::uint64_t expectedMs;
  };
  const Case cases[] = {
      {"process never appears", true, u"10", u"", 15000},
      {"process already runs", true, u"10", u"steam.exe", 5000},
      {"negative limit", true, u"-3", u"", 5000},
      {"no switch", false, u"10", u"", 0},
  };
  for (const Case& c : cases) {
    FakeStartupEnvironment environment;
    if (c.withSwitch) {
      environment.arguments.push_back(u"STARTUP_LAUNCHED");
    }
    environment.runningProcess = c.running;
    const std::uint64_t start = environment.now;
    EXPECT_FALSE(RunStartupWait(environment, {u" steam.exe ", c.appear, u"5"})) << c.what;
    EXPECT_EQ(environment.now - start, c.expectedMs) << c.what;
  }
}

TEST(StartupWaitTest, ProcessAppearingEndsTheFirstWait) {
  FakeStartupEnvironment environment;
  environment.arguments.push_back(u"startup_launched");
  environment.runningProcess = u"steam.exe";
  environment.processAppearsAtMs = environment.now + 3000;
  const std::uint64_t start = environment.now;
  RunStartupWait(environment, {u"steam.exe", u"60", u"0"});
  EXPECT_EQ(environment.now - start, 3000u);
}

TEST(StartupWaitTest, ShiftHeldAtAnySampleCounts) {
  FakeStartupEnvironment environment;
  environment.arguments.push_back(u"startup_launched");
  environment.shiftHeldAtSample = 4;
  EXPECT_TRUE(RunStartupWait(environment, {u"", u"2", u"2"}));
  EXPECT_GT(environment.shiftSamples, 5);
}
