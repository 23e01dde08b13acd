// A scripted start: command line, SHIFT samples, a process that appears at a
// given time, and a clock that only sleeping advances.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/startup_wait.h"

class FakeStartupEnvironment : public StartupEnvironment {
 public:
  std::vector<std::u16string> CommandLineArguments() override { return arguments; }
  bool IsShiftHeld() override {
    ++shiftSamples;
    return shiftHeldAtSample >= 0 && shiftSamples - 1 == shiftHeldAtSample;
  }
  bool IsProcessRunning(std::u16string_view name) override {
    ++processChecks;
    return name == runningProcess && now >= processAppearsAtMs;
  }
  std::uint64_t TickCountMs() override { return now; }
  void SleepMs(std::uint32_t ms) override { now += ms; }

  std::vector<std::u16string> arguments = {u"C:\\Program Files\\Vantreloquin\\Vantreloquin.exe"};
  std::u16string runningProcess;
  std::uint64_t processAppearsAtMs = 0;
  int shiftHeldAtSample = -1;  // the sample (from 0) at which SHIFT is down
  int shiftSamples = 0;
  int processChecks = 0;
  std::uint64_t now = 1000;
};
