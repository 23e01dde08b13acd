// The controller's decision fields, clock targets, settings and their locks,
// as the clock-state publisher and the scanner borrow them. Fixtures and
// benchmarks inherit it, so the fields keep their controller names.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "app/critical_section_wrapper.h"
#include "base/critical_section.h"
#include "config/general_settings.h"

struct DecisionState {
  CriticalSection stateLock;
  std::atomic<bool> blockRequested{false};
  std::atomic<bool> forceDownclockRequested{false};
  std::mutex clockTargetsLock;
  std::u16string coreClockTarget = u"DEFAULT";
  std::u16string memClockTarget = u"DEFAULT";
  CriticalSection_Wrapper settingsLock{CriticalSection_Wrapper::Form::ReaderWriter};
  CGeneralSettings_ConfigFile settings;
};
