#include "settings_ui/program_pickers.h"

#include <algorithm>

#include "base/text.h"
#include "rules/path_helpers.h"
#include "settings_ui/edit_rule_model.h"

namespace {

std::u16string WithBackslashes(std::u16string text) {
  std::replace(text.begin(), text.end(), u'/', u'\\');
  return text;
}

// Programs of Windows itself and the shell are never offered.
bool IsLeftOut(std::u16string_view entry, std::u16string_view windowsFolder) {
  if (entry.empty() || EqualsNoCase(entry, u"explorer.exe")) {
    return true;
  }
  const std::u16string extension = GetExtension(entry);
  return StartsWithNoCase(entry, windowsFolder) &&
         (EqualsNoCase(extension, u"exe") || EqualsNoCase(extension, u"dll"));
}

// The first candidate equal to the picked text (both trimmed, ignoring case).
template <typename T, typename Key>
const T* FindPicked(const std::vector<T>& candidates, std::u16string_view picked, Key key) {
  const std::u16string wanted = TrimBlanks(picked);
  for (const T& candidate : candidates) {
    if (EqualsNoCase(TrimBlanks(key(candidate)), wanted)) {
      return &candidate;
    }
  }
  return nullptr;
}

std::optional<std::u16string> PickFrom(const PickerContext& context, std::u16string_view what,
                                       const std::vector<std::u16string>& items) {
  const std::u16string picked =
      context.picker.PickFromList(SnapshotTitle(context.now, what), items);
  if (TrimBlanks(picked).empty()) {
    return std::nullopt;
  }
  const std::u16string* entry =
      FindPicked(items, picked, [](const std::u16string& item) { return item; });
  return entry ? ChooseProgramText(context.prompts, *entry) : std::nullopt;
}

}  // namespace

std::vector<std::u16string> RunningProcessEntries(Desktop& desktop,
                                                  std::u16string_view windowsFolder) {
  std::vector<std::u16string> paths;
  std::vector<std::u16string> names;
  for (std::uint32_t id : desktop.ListProcessIds()) {
    const std::u16string path = desktop.ProcessFullPath(id);
    const std::u16string entry = WithBackslashes(path.empty() ? desktop.ProcessFileName(id) : path);
    if (IsLeftOut(entry, windowsFolder)) {
      continue;
    }
    (path.empty() ? names : paths).push_back(entry);
  }
  std::sort(paths.begin(), paths.end());
  std::sort(names.begin(), names.end());
  paths.insert(paths.end(), names.begin(), names.end());
  return paths;
}

std::vector<WindowEntry> VisibleWindowEntries(Desktop& desktop, std::u16string_view windowsFolder) {
  std::vector<WindowEntry> entries;
  for (WindowId window : desktop.ListVisibleWindows()) {
    if (desktop.IsOwnWindow(window) || desktop.IsIconic(window) ||
        !desktop.IsWindowVisible(window)) {
      continue;
    }
    const std::uint32_t processId = desktop.WindowProcessId(window);
    const std::u16string path = processId ? desktop.ProcessFullPath(processId) : u"";
    const std::u16string name = processId ? desktop.ProcessFileName(processId) : u"";
    const std::u16string entry = WithBackslashes(path.empty() ? name : path);
    if (IsLeftOut(entry, windowsFolder)) {
      continue;
    }
    entries.push_back({u"[\"" + desktop.WindowText(window) + u"\"] | " + entry, entry});
  }
  return entries;
}

std::u16string SnapshotTitle(const LocalTime& now, std::u16string_view what) {
  return FormatTimeOfDay(now) + u" >> " + std::u16string(what);
}

std::optional<std::u16string> PickRunningProcess(const PickerContext& context) {
  return PickFrom(context, u"Process Snapshot",
                  RunningProcessEntries(context.desktop, context.windowsFolder));
}

std::optional<std::u16string> PickVisibleWindow(const PickerContext& context) {
  const std::vector<WindowEntry> entries =
      VisibleWindowEntries(context.desktop, context.windowsFolder);
  std::vector<std::u16string> lines;
  for (const WindowEntry& entry : entries) {
    lines.push_back(entry.line);
  }
  const std::u16string picked =
      context.picker.PickFromList(SnapshotTitle(context.now, u"Visible Window Snapshot"), lines);
  if (TrimBlanks(picked).empty()) {
    return std::nullopt;
  }
  const WindowEntry* chosen =
      FindPicked(entries, picked, [](const WindowEntry& entry) { return entry.line; });
  return chosen ? ChooseProgramText(context.prompts, chosen->entry) : std::nullopt;
}

std::optional<std::u16string> PickRecentForeground(const PickerContext& context,
                                                   const std::vector<std::u16string>& recent) {
  return PickFrom(context, u"Recent Foreground [*Window*] Snapshot", recent);
}
