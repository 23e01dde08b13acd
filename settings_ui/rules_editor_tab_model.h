// What the rules tab shows and does: the live rule table as coloured rows,
// and the commands ADD, DELETE, EDIT, Undo and Bulk Priority. Every change
// pushes an undo step, changes the table, brings it back to normal form and
// drops the step again when nothing changed.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/critical_section_wrapper.h"
#include "app/modal_guard.h"
#include "config/general_settings.h"
#include "settings_ui/rule_edit_dialogs.h"
#include "toolkit/prompts.h"

// One list row: Executable, Action, Core, Mem, Priority, Enabled.
struct RuleRow {
  std::array<std::u16string, 6> cells;
  std::uint32_t face;
  std::uint32_t text;
};

struct RulesEditorSources {
  CGeneralSettings_ConfigFile& settings;
  CriticalSection_Wrapper& settingsLock;
  Prompts& prompts;
  ModalGuard& modalGuard;
  RuleEditDialogs& dialogs;
};

class RulesEditorTabModel {
 public:
  explicit RulesEditorTabModel(RulesEditorSources sources);

  // Rebuilds the rows from the current table and selects the row of the
  // name (none for an empty name).
  void RefreshRuleList(std::u16string_view name);
  const std::vector<RuleRow>& rows() const { return rows_; }
  // The selected row, or -1.
  int selected() const { return selected_; }
  // The user selected a row in the list (-1 for none).
  void Select(int row);
  std::u16string UndoCaption() const;

  void AddRuleCommand();
  void DeleteRuleCommand();
  void EditRuleCommand();
  void UndoCommand();
  void BulkPriorityCommand();
  // A key-down before the list sees it; true when the key was used or
  // swallowed.
  bool OnKeyDown(std::uint32_t key);
  void OnDoubleClick();

  // Runs after the rows or the selection changed, so the list can redraw.
  std::function<void()> onChanged;

 private:
  bool ConfirmationsDisabled();
  // Shows the message unless confirmations are disabled; logs it.
  void Report(const std::u16string& message);
  void Changed();

  CGeneralSettings_ConfigFile& settings_;
  CriticalSection_Wrapper& settingsLock_;
  Prompts& prompts_;
  ModalGuard& modalGuard_;
  RuleEditDialogs& dialogs_;
  std::vector<RuleRow> rows_;
  int selected_ = -1;
  std::size_t undoSteps_ = 0;
  bool addRunning_ = false;
  bool editRunning_ = false;
};
