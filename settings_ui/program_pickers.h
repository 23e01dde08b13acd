// The programs the rule edit dialog offers to pick: running processes,
// visible windows and recently active programs. Windows programs and the
// shell are left out.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/log.h"
#include "rules/desktop.h"
#include "settings_ui/list_picker.h"
#include "toolkit/prompts.h"

// Full paths first, then bare file names, each sorted by code unit.
std::vector<std::u16string> RunningProcessEntries(Desktop& desktop,
                                                  std::u16string_view windowsFolder);

struct WindowEntry {
  std::u16string line;   // ["title"] | entry
  std::u16string entry;  // the program's full path or file name
};
// In enumeration order; the program's own windows are left out.
std::vector<WindowEntry> VisibleWindowEntries(Desktop& desktop, std::u16string_view windowsFolder);

// "03:04:09 PM >> Process Snapshot"
std::u16string SnapshotTitle(const LocalTime& now, std::u16string_view what);

// Each picker: lists, lets the user pick, and asks full path or file name;
// the text for the executable field, or nothing when it stays.
struct PickerContext {
  Desktop& desktop;
  ListPicker& picker;
  Prompts& prompts;
  std::u16string_view windowsFolder;
  LocalTime now;
};
std::optional<std::u16string> PickRunningProcess(const PickerContext& context);
std::optional<std::u16string> PickVisibleWindow(const PickerContext& context);
// The recent programs, most recent first.
std::optional<std::u16string> PickRecentForeground(const PickerContext& context,
                                                   const std::vector<std::u16string>& recent);
