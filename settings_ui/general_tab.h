// The "General" settings page without its window: the controls in their
// rows with captions and tooltips, what a refresh shows, and what each
// command asks, checks and changes. The page's dialog binds its controls to
// this class, forwards their commands and shows View() afterwards.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/critical_section_wrapper.h"
#include "app/log.h"
#include "config/general_settings.h"
#include "rules/desktop.h"
#include "settings_ui/control_placement.h"
#include "settings_ui/list_picker.h"
#include "toolkit/prompts.h"

enum class GeneralControlKind { Header, CheckBox, Choice, Button, Display };

struct GeneralControl {
  int id;
  // Top of the control's row in the page content; rows are 30 pixels high.
  int rowTop;
  GeneralControlKind kind;
  // Headers, boxes and buttons; empty for value displays.
  std::u16string caption;
  // Empty when the control has none.
  std::u16string tooltip;
};

inline constexpr int kGeneralRowHeight = 30;
inline constexpr int kGeneralContentHeight = 600;
// Headers and value displays use the largest font height that fits, up to this.
inline constexpr int kGeneralTextMaxFontHeight = 50;
// Page background (0x00BBGGRR); static controls are drawn hollow on it.
inline constexpr std::uint32_t kGeneralPageBackground = 0x323232;

// Every control of the page, row by row, left to right within a row.
const std::vector<GeneralControl>& GeneralTabControls();

// Each row across the client width (rows of two or three share it like a
// button row), shifted up by the scroll position so that a re-layout of a
// scrolled page keeps the content where the scroll bar says it is.
std::vector<ControlPlacement> LayoutGeneralTab(int clientWidth, int scrollPosition = 0);

// What the page shows after a refresh.
struct GeneralTabView {
  // Every check box and choice box by control id.
  std::map<int, bool> checked;
  // Every value display by control id.
  std::map<int, std::u16string> texts;
};

inline constexpr std::u16string_view kClearWaitOnEntry =
    u"** SELECT THIS TO DELETE YOUR PROCESS ENTRY**";

// What the page works through. Everything runs on the user-interface thread.
struct GeneralTabServices {
  CGeneralSettings_ConfigFile& settings;
  CriticalSection_Wrapper& settingsLock;
  Prompts& prompts;
  // The clock-state publisher, so that the helpers switch method at once.
  // Called without the settings lock held: the publisher takes stateLock,
  // which comes before settingsLock.
  std::function<void()> publishClockState;
  // The controller's logon-task requests: 0 create, 1 remove.
  std::vector<std::uint8_t>& taskQueue;
  // The cached logon-task state, or a fresh measurement with refresh.
  std::function<bool(bool refresh)> isTaskScheduled;
  // Has the controller serve taskQueue at once (its timer 3).
  std::function<void()> serveTaskQueue;
  // The running processes and the list picker of the wait-on button.
  Desktop& desktop;
  ListPicker& picker;
  // The time of day in the picker's title (the local time when not set).
  std::function<LocalTime()> now;
};

class GeneralTabModel {
 public:
  explicit GeneralTabModel(GeneralTabServices services) : s_(std::move(services)) {}

  // Dialog initialisation: the first refresh, under the writer side.
  void Initialize();
  // Re-reads every shown value; the caller holds the settings lock.
  void RefreshGeneralTab();
  const GeneralTabView& View() const { return view_; }

  // A click of a control; false for one without a command. Shows prompts
  // and the list picker as the command needs them; View() then shows the
  // settings as they are afterwards.
  bool OnCommand(int controlId);

  // The wait-on picker's entries: the entry that clears the setting, then
  // the readable full paths, then the file names of the other processes,
  // each group sorted by code units.
  static std::vector<std::u16string> WaitOnEntries(Desktop& desktop);

 private:
  void ToggleSetting(FlaggedVar<bool>& setting);
  void SetFadeSpeed(std::uint32_t speed);
  void SetBlockingMethod(std::uint32_t method);
  void ToggleStartWithWindows();
  void ToggleCustomClocks();
  void PromptClock(bool core);
  void PromptSeconds(int controlId);
  void PickWaitOnProcess();
  void StoreWaitOnProcess(std::u16string_view name);
  // The logon-task state the box shows: the outcome of the last queued
  // request while requests wait, else the cached state.
  bool ShownTaskState(bool refresh);

  GeneralTabServices s_;
  GeneralTabView view_;
};
