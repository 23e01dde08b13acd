#include "settings_ui/general_tab.h"

#include <algorithm>

#include "base/format.h"
#include "base/text.h"
#include "base/wipe.h"
#include "resources/resource_ids.h"
#include "rules/rule.h"
#include "settings_ui/edit_rule_model.h"
#include "settings_ui/program_pickers.h"
#include "toolkit/button_row.h"
#include "toolkit/fade_duration.h"

namespace {

constexpr std::u16string_view kYes = u"Yes, I'm sure";
constexpr std::u16string_view kNo = u"No, DON'T DO IT";
constexpr std::uint32_t kMaxSeconds = 120;

constexpr std::u16string_view kCustomClocksTip =
    u"ADL Specific option:\r\nBy checking this checkbox, you can override the default speeds "
    u"that Vantreloquin sets (both for block rules and reverted states).\r\n\r\nYou assert that "
    u"you:\r\n-Know what you are doing.\r\n-Know that things may go wrong.\r\n-Will try not to "
    u"actively mix overclocking (eg, fighting of software over the clockspeeds).\r\n-Will read "
    u"the program log [in the event that things do go wrong].\r\n\r\n****Understand that "
    u"holding \"SHIFT\" on starting Vantreloquin will uncheck this checkbox****\r\n\r\n-Please "
    u"be aware that manual clock control ONLY applies to explicitly selected devices (via the "
    u"GPU-Picker tab)";

constexpr std::u16string_view kCustomClocksQuestion =
    u"%s\r\n\r\n****************************************************\r\n^ Please make sure you "
    u"have read the ToolTip description.\r\n\r\n-if ADL blocking is active, this takes effect "
    u"\"IMMEDIATELY\".\r\n-You probably want to make sure that Vantreloquin is NOT blocking "
    u"first.";

constexpr std::u16string_view kCancelTip = u"Abort, change nothing.";

struct ClockPrompt {
  std::u16string_view title;
  std::u16string_view message;
  std::u16string_view editTip;
  std::u16string_view confirmation;
};

constexpr ClockPrompt kCoreClockPrompt{
    u"Set ADL Core-Clock override",
    u"Examples:\r\n+50 or -50 (relative offset from max stock-clock)\r\n1050, 800, 512, etc "
    u"(absolute assignment)",
    u"Enter Core-Clock in this field.\r\n\r\nYou can specify Core-Clock as an offset or absolute "
    u"value.",
    u"\"%s\" => Core-CLock\r\n\r\nThis setting will go in to effect \"IMMEDIATELY\" if ADL "
    u"blocking is active."};
constexpr ClockPrompt kMemClockPrompt{
    u"Set ADL Mem-Clock override",
    u"Examples:\r\n+50 or -50 (relative offset from max stock-mem)\r\n500, 520, 545, etc "
    u"(absolute assignment)",
    u"Enter Mem-Clock in this field.\r\n\r\nYou can specify Mem-Clock as an offset or absolute "
    u"value.",
    u"\"%s\" => Mem-CLock\r\n\r\nThis setting will go in to effect \"IMMEDIATELY\" if ADL "
    u"blocking is active."};
constexpr std::u16string_view kClockConfirmTip =
    u"Confirm the new clock.\r\n\r\n-if ADL blocking is active, this takes effect "
    u"\"IMMEDIATELY\".";
constexpr std::u16string_view kIllegalClock =
    u"Illegal entry.\r\n\r\nClock must be either a signed (offset) or unsigned (absolute) "
    u"integer.";

struct SecondsPrompt {
  int id;
  std::u16string_view title;
  std::u16string_view message;
  std::u16string_view editTip;
  std::u16string_view refusal;
};

constexpr SecondsPrompt kSecondsPrompts[] = {
    {IDC_GENERAL_SET_WAIT_FOR, u"Set process \"wait-for\" seconds",
     u"Examples:\r\n15, 30, 60\r\nMax:\r\n120",
     u"Enter the number of seconds to wait for the process to spawn in this field.\r\nEntry must "
     u"be a positive integer.",
     u"Illegal entry.\r\n\r\nWait-for period must be a positive integer."},
    {IDC_GENERAL_SET_WAIT_AFTER, u"Set process \"wait-after\" seconds",
     u"Examples:\r\n5, 10, 15\r\nMax:\r\n120",
     u"Enter the number of seconds to wait AFTER the process has spawned in this "
     u"field.\r\nEntry must be a positive integer.",
     u"Illegal entry.\r\n\r\nWait-after period must be a positive integer."},
    {IDC_GENERAL_SET_WATCHDOG, u"Set watchdog-interval seconds",
     u"Examples:\r\n0, 3, 6, 15, 30\r\nMax: 120\r\n0 => Disabled",
     u"Enter the number of seconds between watchdog polling (device querying).\r\nEntry must "
     u"be a positive integer.\r\n\r\nIf entry is 0, watchdog polling will be disabled except "
     u"for one-time during profile swaps.",
     u"Illegal entry.\r\n\r\nWatchdog polling interval must be a positive integer."},
};

bool IsDigits(std::u16string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// A clock entry in its stored form ("+N", "-N" or "N"), or nothing when the
// entry is no integer ("DEFAULT" and a bare sign included).
std::optional<std::u16string> ParseClockEntry(std::u16string_view entry) {
  const bool signed_ = !entry.empty() && (entry.front() == u'+' || entry.front() == u'-');
  const std::u16string number = TrimBlanks(signed_ ? entry.substr(1) : entry);
  if (!IsDigits(number)) {
    return std::nullopt;
  }
  return NormalizeClockText(entry);
}

// A seconds entry of digits only, up to 120; the value has no upper bound on
// its length, so it is compared digit by digit without overflow.
std::optional<std::uint32_t> ParseSecondsEntry(std::u16string_view entry) {
  if (!IsDigits(entry)) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  for (char16_t c : entry) {
    value = value * 10 + static_cast<std::uint32_t>(c - u'0');
    if (value > kMaxSeconds) {
      return std::nullopt;
    }
  }
  return value;
}

// A stored wait as the page reads it: a leading "-" negates, "0x" starts
// hexadecimal, otherwise decimal; the digits up to the first other
// character count, and nothing readable is 0.
std::int32_t ParseWaitText(std::u16string_view stored) {
  std::u16string text = TrimBlanks(stored);
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == u'-';
  if (negative) {
    ++i;
  }
  int base = 10;
  if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    int digit = -1;
    if (c >= u'0' && c <= u'9') {
      digit = c - u'0';
    } else if (base == 16 && ToLowerAscii(c) >= u'a' && ToLowerAscii(c) <= u'f') {
      digit = ToLowerAscii(c) - u'a' + 10;
    }
    if (digit < 0) {
      break;
    }
    value = std::min<std::int64_t>(value * base + digit, INT32_MAX);
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

std::u16string SignedSecondsText(std::int32_t seconds) {
  return Format(u"%i %s", seconds, seconds == 1 ? u"Second" : u"Seconds");
}

std::u16string SecondsText(std::uint64_t seconds) {
  return Format(u"%u %s", seconds, seconds == 1 ? u"Second" : u"Seconds");
}

std::u16string ClockDisplay(std::u16string_view valueText) {
  std::u16string text = TrimBlanks(valueText);
  if (!text.empty()) {
    text +=
        (text.front() == u'+' || text.front() == u'-') ? u" => **OFFSET**" : u" => **ABSOLUTE**";
  }
  return text;
}

bool IsYes(std::u16string_view answer) {
  return EqualsNoCase(answer, kYes);
}

std::vector<GeneralControl> BuildControls() {
  using K = GeneralControlKind;
  const std::u16string fadeTip = u"All dialogs will take %u ms to fade in or out.";
  return {
      {IDC_GENERAL_HEADER_PROGRAM, 0, K::Header, u"Program and Editor", u""},
      {IDC_GENERAL_START_WITH_WINDOWS, 30, K::CheckBox, u"Start With Windows",
       u"If checked, a Task-Scheduler entry to automatically start the program with Windows is "
       u"created."},
      {IDC_GENERAL_CHECK_FOR_UPDATES, 60, K::CheckBox, u"Check for Updates on startup",
       u"If checked, Vantreloquin will check if a new version is available on each "
       u"startup.\r\n\r\n-These notifications appear in the log viewer.\r\n\r\n-You will also "
       u"receive a popup-prompt and the option to automatically download a new version, should "
       u"one be available. (Otherwise there are no popups from having this checked)"},
      {IDC_GENERAL_ALWAYS_ONTOP, 90, K::CheckBox, u"Always Ontop",
       u"If checked, Vantreloquin's dialogs (such as this settings window) will be set to the "
       u"highest Window z-order.\r\n\r\n-This may be helpful in getting to the settings when a "
       u"fullscreen windowed game is also set to the top of the z-order."},
      {IDC_GENERAL_SHOW_SPLASH, 120, K::CheckBox, u"Show Splash",
       u"If checked, a splashscreen is shown on program startup."},
      {IDC_GENERAL_EXCLUDE_SCREENSAVERS, 150, K::CheckBox,
       u"Exclude ScreenSavers (fullscreen && 3D detection)",
       u"If checked, Vantreloquin will try to exclude screensaver processes from its fullscreen "
       u"and 3D-program detections.\r\n\r\n-Having this checked will not override your other "
       u"rules, which may still block downclocking while a screensaver is active.\r\n\r\n-You "
       u"probably don't want to uncheck this as it's to help your PC save power while idle."},
      {IDC_GENERAL_DISABLE_CONFIRMATION, 180, K::CheckBox, u"Disable Editor Confirmation",
       u"If checked, some confirmation prompts will not be shown after making editor "
       u"actions.\r\n\r\n-These actions include things such as adding, editing, or deleting "
       u"rules.\r\n\r\n-If you catch a mistake soon enough, you may be able to use the undo "
       u"button"},
      {IDC_GENERAL_SET_WAIT_ON, 210, K::Button, u"Set Wait-On",
       u"Set a process that Vantreloquin should wait on.\r\n\r\nThis can be used combined with "
       u"wait-for and wait-after settings to avoid race-conditions in touching GPU clocks."},
      {IDC_GENERAL_SET_WAIT_FOR, 210, K::Button, u"Set Wait-For",
       u"Assigns a duration to wait for a launched process.\r\n\r\nOn first start, Vantreloquin "
       u"will wait for this many seconds for another process to be launched before starting."},
      {IDC_GENERAL_SET_WAIT_AFTER, 210, K::Button, u"Set Wait-After",
       u"Assigns a duration to wait after another process is launched.\r\n\r\nAfter the launched "
       u"process is found (or a timeout occurs), Vantreloquin will wait this many additional "
       u"seconds before starting."},
      {IDC_GENERAL_SHOW_WAIT_ON, 240, K::Display, u"",
       u"Process that Vantreloquin should wait on."},
      {IDC_GENERAL_SHOW_WAIT_FOR, 240, K::Display, u"",
       u"The number of seconds that Vantreloquin will wait for another process to launch at "
       u"startup."},
      {IDC_GENERAL_SHOW_WAIT_AFTER, 240, K::Display, u"",
       u"The number of seconds that Vantreloquin will wait after the other process is found, or "
       u"after a timeout occurs. (before starting)"},
      {IDC_GENERAL_HEADER_FADE, 270, K::Header, u"Window Fade Speed", u""},
      {IDC_GENERAL_FADE_NORMAL, 300, K::Choice, u"Normal", Format(fadeTip, 200u)},
      {IDC_GENERAL_FADE_FAST, 300, K::Choice, u"Fast", Format(fadeTip, 50u)},
      {IDC_GENERAL_HEADER_METHOD, 330, K::Header, u"Blocking Method", u""},
      {IDC_GENERAL_METHOD_RELIABLE, 360, K::Choice, u"Use reliable compute-method (default)",
       u"Compute:\r\nUse newest approach with slightly more aggressive kernel and adaptive "
       u"timing.\r\n\r\n-Highest odds of working."},
      {IDC_GENERAL_METHOD_ALTERNATE, 390, K::Choice, u"Use alternate compute-method (less load)",
       u"Compute:\r\nUse old minimalistic approach.\r\n\r\n-Lower odds of working, slightly less "
       u"performance cost.\r\n(Pretty much guaranteed to not work on modern Crimson)"},
      {IDC_GENERAL_METHOD_ADL, 420, K::Choice, u"Use ADL-method",
       u"ADL:\r\nImplements blocking via \"ADLODPerformanceLevel\": the driver's overdrive "
       u"performance levels are held at the high clocks while a block rule "
       u"applies.\r\n\r\n-No compute load on the GPU.\r\n-Needs a driver that accepts overdrive "
       u"settings."},
      {IDC_GENERAL_METHOD_COMBINED, 450, K::Choice, u"Use combined (ADL + Compute)",
       u"Compute + ADL:\r\nUse both the compute kernel and ADL methods concurrently.\r\n\r\n-May "
       u"help if you have some software that one or the other method works in."},
      {IDC_GENERAL_HEADER_OVERDRIVE, 480, K::Header, u"Overdrive [ADL specific options]", u""},
      {IDC_GENERAL_CUSTOM_CLOCKS, 510, K::CheckBox, u"Enable custom clocks",
       std::u16string(kCustomClocksTip)},
      {IDC_GENERAL_SET_CORE, 540, K::Button, u"Set Core-Clock", u"Changes the default core-clock."},
      {IDC_GENERAL_SET_MEM, 540, K::Button, u"Set Mem-Clock", u"Changes the default mem-clock."},
      {IDC_GENERAL_SET_WATCHDOG, 540, K::Button, u"Set Watchdog Interval",
       u"Changes the watchdog polling interval."},
      {IDC_GENERAL_SHOW_CORE, 570, K::Display, u"",
       u"Displays the default target for the core-clock."},
      {IDC_GENERAL_SHOW_MEM, 570, K::Display, u"",
       u"Displays the default target for the mem-clock."},
      {IDC_GENERAL_SHOW_WATCHDOG, 570, K::Display, u"", u"Displays the watchdog polling interval."},
  };
}

}  // namespace

const std::vector<GeneralControl>& GeneralTabControls() {
  static const std::vector<GeneralControl> controls = BuildControls();
  return controls;
}

std::vector<ControlPlacement> LayoutGeneralTab(int clientWidth, int scrollPosition) {
  std::vector<ControlPlacement> placements;
  const std::vector<GeneralControl>& controls = GeneralTabControls();
  for (std::size_t first = 0; first < controls.size();) {
    std::size_t end = first;
    while (end < controls.size() && controls[end].rowTop == controls[first].rowTop) {
      ++end;
    }
    const std::vector<RowSlot> slots = SpreadAcross(clientWidth, static_cast<int>(end - first));
    for (std::size_t i = first; i < end; ++i) {
      const RowSlot& slot = slots[i - first];
      placements.push_back({controls[i].id, slot.x, controls[i].rowTop - scrollPosition, slot.width,
                            kGeneralRowHeight});
    }
    first = end;
  }
  return placements;
}

void GeneralTabModel::Initialize() {
  WriteLockGuard lock(s_.settingsLock);
  RefreshGeneralTab();
}

void GeneralTabModel::RefreshGeneralTab() {
  const CGeneralSettings_ConfigFile& settings = s_.settings;
  GeneralTabView view;
  view.checked[IDC_GENERAL_START_WITH_WINDOWS] = ShownTaskState(false);
  view.checked[IDC_GENERAL_CHECK_FOR_UPDATES] = settings.bCheckForUpdatesOnStartup.Value();
  view.checked[IDC_GENERAL_ALWAYS_ONTOP] = settings.bAlwaysOntop.Value();
  view.checked[IDC_GENERAL_SHOW_SPLASH] = settings.bShowSplash.Value();
  view.checked[IDC_GENERAL_EXCLUDE_SCREENSAVERS] = settings.bExcludeScreenSavers.Value();
  view.checked[IDC_GENERAL_DISABLE_CONFIRMATION] = settings.bDisableEditorConfirmation.Value();
  view.checked[IDC_GENERAL_CUSTOM_CLOCKS] = settings.bUsingCustomClocks.Value();

  const std::uint32_t fade = settings.WindowFadeSpeed.Value();
  view.checked[IDC_GENERAL_FADE_NORMAL] = fade == 0;
  view.checked[IDC_GENERAL_FADE_FAST] = fade == 1;
  const std::uint32_t method = settings.BlockingMethod.Value();
  view.checked[IDC_GENERAL_METHOD_RELIABLE] = method == 0;
  view.checked[IDC_GENERAL_METHOD_ALTERNATE] = method == 1;
  view.checked[IDC_GENERAL_METHOD_ADL] = method == 2;
  view.checked[IDC_GENERAL_METHOD_COMBINED] = method == 3;

  view.texts[IDC_GENERAL_SHOW_CORE] = ClockDisplay(settings.DefaultClock_Core.GetValueText());
  view.texts[IDC_GENERAL_SHOW_MEM] = ClockDisplay(settings.DefaultClock_Mem.GetValueText());
  const std::uint32_t watchdog = settings.Watchdog_Polling_Interval_Seconds.Value();
  view.texts[IDC_GENERAL_SHOW_WATCHDOG] =
      watchdog == 0 ? std::u16string(u"0 => polling disabled") : SecondsText(watchdog);
  view.texts[IDC_GENERAL_SHOW_WAIT_FOR] =
      SignedSecondsText(ParseWaitText(settings.WaitFor_ToAppear_Seconds.GetValueText()));
  view.texts[IDC_GENERAL_SHOW_WAIT_AFTER] =
      SignedSecondsText(ParseWaitText(settings.WaitFor_After_Seconds.GetValueText()));
  view.texts[IDC_GENERAL_SHOW_WAIT_ON] = settings.WaitFor_ProcessName.GetValueText();
  view_ = std::move(view);
}

bool GeneralTabModel::OnCommand(int controlId) {
  CGeneralSettings_ConfigFile& settings = s_.settings;
  switch (controlId) {
    case IDC_GENERAL_START_WITH_WINDOWS:
      ToggleStartWithWindows();
      return true;
    case IDC_GENERAL_CHECK_FOR_UPDATES:
      ToggleSetting(settings.bCheckForUpdatesOnStartup);
      return true;
    case IDC_GENERAL_ALWAYS_ONTOP:
      ToggleSetting(settings.bAlwaysOntop);
      return true;
    case IDC_GENERAL_SHOW_SPLASH:
      ToggleSetting(settings.bShowSplash);
      return true;
    case IDC_GENERAL_EXCLUDE_SCREENSAVERS:
      ToggleSetting(settings.bExcludeScreenSavers);
      return true;
    case IDC_GENERAL_DISABLE_CONFIRMATION:
      ToggleSetting(settings.bDisableEditorConfirmation);
      return true;
    case IDC_GENERAL_FADE_NORMAL:
      SetFadeSpeed(0);
      return true;
    case IDC_GENERAL_FADE_FAST:
      SetFadeSpeed(1);
      return true;
    case IDC_GENERAL_METHOD_RELIABLE:
      SetBlockingMethod(0);
      return true;
    case IDC_GENERAL_METHOD_ALTERNATE:
      SetBlockingMethod(1);
      return true;
    case IDC_GENERAL_METHOD_ADL:
      SetBlockingMethod(2);
      return true;
    case IDC_GENERAL_METHOD_COMBINED:
      SetBlockingMethod(3);
      return true;
    case IDC_GENERAL_CUSTOM_CLOCKS:
      ToggleCustomClocks();
      return true;
    case IDC_GENERAL_SET_CORE:
      PromptClock(true);
      return true;
    case IDC_GENERAL_SET_MEM:
      PromptClock(false);
      return true;
    case IDC_GENERAL_SET_WAIT_FOR:
    case IDC_GENERAL_SET_WAIT_AFTER:
    case IDC_GENERAL_SET_WATCHDOG:
      PromptSeconds(controlId);
      return true;
    case IDC_GENERAL_SET_WAIT_ON:
      PickWaitOnProcess();
      return true;
    default:
      return false;
  }
}

void GeneralTabModel::ToggleSetting(FlaggedVar<bool>& setting) {
  WriteLockGuard lock(s_.settingsLock);
  setting.Set(!setting.Value());
  RefreshGeneralTab();
}

void GeneralTabModel::SetFadeSpeed(std::uint32_t speed) {
  WriteLockGuard lock(s_.settingsLock);
  s_.settings.WindowFadeSpeed.Set(speed);
  ApplyFadeSpeed(speed);
  RefreshGeneralTab();
}

void GeneralTabModel::SetBlockingMethod(std::uint32_t method) {
  {
    WriteLockGuard lock(s_.settingsLock);
    s_.settings.BlockingMethod.Set(method);
    RefreshGeneralTab();
  }
  // Outside the settings lock: the publisher takes stateLock, and the
  // scanner holds stateLock while the publisher reads the settings.
  if (s_.publishClockState) {
    s_.publishClockState();
  }
}

bool GeneralTabModel::ShownTaskState(bool refresh) {
  if (!s_.taskQueue.empty()) {
    return s_.taskQueue.back() == 0;
  }
  return s_.isTaskScheduled && s_.isTaskScheduled(refresh);
}

void GeneralTabModel::ToggleStartWithWindows() {
  // A click asks for the opposite of what the box shows: with requests
  // still waiting that is the outcome of the last one, so a quick tick and
  // untick queue a create and a remove.
  const bool registered = ShownTaskState(true);
  s_.taskQueue.push_back(registered ? 1 : 0);
  {
    WriteLockGuard lock(s_.settingsLock);
    RefreshGeneralTab();
  }
  if (s_.serveTaskQueue) {
    s_.serveTaskQueue();
  }
}

void GeneralTabModel::ToggleCustomClocks() {
  bool enabled = false;
  {
    ReadLockGuard lock(s_.settingsLock);
    enabled = s_.settings.bUsingCustomClocks.Value();
  }
  if (enabled) {
    WriteLockGuard lock(s_.settingsLock);
    s_.settings.bUsingCustomClocks.Set(false);
    RefreshGeneralTab();
    return;
  }
  std::u16string question = Format(kCustomClocksQuestion, kCustomClocksTip);
  const std::u16string answer = s_.prompts.PromptTwo(kNo, kYes, question);
  Wipe(question);
  WriteLockGuard lock(s_.settingsLock);
  if (IsYes(answer)) {
    s_.settings.bUsingCustomClocks.Set(true);
  }
  RefreshGeneralTab();
}

void GeneralTabModel::PromptClock(bool core) {
  const ClockPrompt& texts = core ? kCoreClockPrompt : kMemClockPrompt;
  std::u16string entry;
  if (!s_.prompts.PromptForText(
          &entry, {texts.title, texts.message, texts.editTip, kCancelTip, kClockConfirmTip})) {
    return;
  }
  const std::u16string trimmed = TrimBlanks(entry);
  Wipe(entry);
  if (trimmed.empty()) {
    return;
  }
  const std::optional<std::u16string> value = ParseClockEntry(trimmed);
  if (!value) {
    s_.prompts.PromptOk(kIllegalClock);
    return;
  }
  std::u16string question = Format(texts.confirmation, *value);
  const std::u16string answer = s_.prompts.PromptTwo(kNo, kYes, question);
  Wipe(question);
  if (!IsYes(answer)) {
    return;
  }
  WriteLockGuard lock(s_.settingsLock);
  (core ? s_.settings.DefaultClock_Core : s_.settings.DefaultClock_Mem).SetFromText(*value);
  RefreshGeneralTab();
}

void GeneralTabModel::PromptSeconds(int controlId) {
  const SecondsPrompt* prompt = nullptr;
  for (const SecondsPrompt& candidate : kSecondsPrompts) {
    if (candidate.id == controlId) {
      prompt = &candidate;
    }
  }
  if (!prompt) {
    return;
  }
  std::u16string entry;
  if (!s_.prompts.PromptForText(
          &entry, {prompt->title, prompt->message, prompt->editTip, kCancelTip, u"Confirm"})) {
    return;
  }
  const std::u16string trimmed = TrimBlanks(entry);
  if (trimmed.empty()) {
    return;
  }
  const std::optional<std::uint32_t> seconds = ParseSecondsEntry(trimmed);
  if (!seconds) {
    s_.prompts.PromptOk(prompt->refusal);
    return;
  }
  CGeneralSettings_ConfigFile& settings = s_.settings;
  FlaggedVar_Base* setting = &settings.Watchdog_Polling_Interval_Seconds;
  if (controlId == IDC_GENERAL_SET_WAIT_FOR) {
    setting = &settings.WaitFor_ToAppear_Seconds;
  } else if (controlId == IDC_GENERAL_SET_WAIT_AFTER) {
    setting = &settings.WaitFor_After_Seconds;
  }
  WriteLockGuard lock(s_.settingsLock);
  setting->SetFromText(Format(u"%i", *seconds));
  RefreshGeneralTab();
}

std::vector<std::u16string> GeneralTabModel::WaitOnEntries(Desktop& desktop) {
  std::vector<std::u16string> paths;
  std::vector<std::u16string> names;
  for (std::uint32_t id : desktop.ListProcessIds()) {
    std::u16string path = desktop.ProcessFullPath(id);
    if (!path.empty()) {
      paths.push_back(std::move(path));
    } else if (std::u16string name = desktop.ProcessFileName(id); !name.empty()) {
      names.push_back(std::move(name));
    }
  }
  std::sort(paths.begin(), paths.end());
  std::sort(names.begin(), names.end());
  std::vector<std::u16string> entries{std::u16string(kClearWaitOnEntry)};
  entries.insert(entries.end(), paths.begin(), paths.end());
  entries.insert(entries.end(), names.begin(), names.end());
  return entries;
}

void GeneralTabModel::PickWaitOnProcess() {
  const LocalTime now = s_.now ? s_.now() : CurrentLocalTime();
  const std::u16string chosen =
      s_.picker.PickFromList(SnapshotTitle(now, u"Process Snapshot"), WaitOnEntries(s_.desktop));
  if (TrimBlanks(chosen).empty()) {
    return;
  }
  if (chosen == kClearWaitOnEntry) {
    StoreWaitOnProcess(u"");
    return;
  }
  // A full path asks which form to keep; a bare file name is kept after a
  // notice; a prompt closed without a choice keeps the old setting.
  if (const std::optional<std::u16string> text = ChooseProgramText(s_.prompts, chosen)) {
    StoreWaitOnProcess(*text);
  }
}

void GeneralTabModel::StoreWaitOnProcess(std::u16string_view name) {
  WriteLockGuard lock(s_.settingsLock);
  s_.settings.WaitFor_ProcessName.SetFromText(name);
  RefreshGeneralTab();
}
