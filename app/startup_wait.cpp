#include "app/startup_wait.h"

#include "base/text.h"
#include "rules/path_helpers.h"

namespace {

constexpr std::uint32_t kPollMs = 500;
// Keeps the product of seconds and 1000 far from overflow.
constexpr std::uint64_t kMaxSeconds = 0xFFFFFFFFull;

}  // namespace

bool HasStartupSwitch(const std::vector<std::u16string>& arguments) {
  for (const std::u16string& argument : arguments) {
    if (EqualsNoCase(TrimBlanks(argument), kStartupSwitch)) {
      return true;
    }
  }
  return false;
}

std::uint64_t WaitLimitMs(std::u16string_view secondsText) {
  const std::u16string digits = TrimBlanks(secondsText);
  std::uint64_t seconds = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') {
      return 0;
    }
    seconds = seconds * 10 + static_cast<std::uint64_t>(c - u'0');
    if (seconds > kMaxSeconds) {
      seconds = kMaxSeconds;
    }
  }
  return seconds * 1000;
}

bool ProcessPathMatches(std::u16string_view name, std::u16string_view processPath) {
  if (name.empty() || processPath.empty()) {
    return false;
  }
  const std::u16string path = ReplaceAll(processPath, u"/", u"\\");
  const std::u16string fileName = GetFileNamePart(path);
  const std::u16string folder = path.substr(0, path.size() - fileName.size());
  return EqualsNoCase(folder, name) || EqualsNoCase(fileName, name);
}

bool RunStartupWait(StartupEnvironment& environment, const StartupWaitSettings& settings) {
  if (!HasStartupSwitch(environment.CommandLineArguments())) {
    return false;
  }
  const std::uint64_t appearLimit = WaitLimitMs(settings.appearSecondsText);
  const std::uint64_t afterLimit = WaitLimitMs(settings.afterSecondsText);
  const std::u16string name = TrimBlanks(settings.processName);

  bool shiftSeen = false;
  auto sampleShift = [&] { shiftSeen = environment.IsShiftHeld() || shiftSeen; };

  std::uint64_t start = environment.TickCountMs();
  sampleShift();
  while (environment.TickCountMs() - start < appearLimit) {
    sampleShift();
    if (!name.empty() && environment.IsProcessRunning(name)) {
      break;
    }
    environment.SleepMs(kPollMs);
  }
  start = environment.TickCountMs();
  while (environment.TickCountMs() - start < afterLimit) {
    sampleShift();
    environment.SleepMs(kPollMs);
  }
  return shiftSeen;
}
