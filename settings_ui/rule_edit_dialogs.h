// The dialogs the rules tab opens: the rule edit dialog and the bulk
// priority dialog. Windows shows real dialogs; tests script their results.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "rules/rule.h"

// What the rule edit dialog opens with.
struct RuleEditRequest {
  std::u16string title;
  std::u16string executable;
  bool editMode = false;
  // The preselected action; none for a new rule.
  std::optional<ActionType> action;
  bool enabled = true;
  std::uint32_t priorityHint = 0;
  std::u16string coreClock = std::u16string(kDefaultClockText);
  std::u16string memClock = std::u16string(kDefaultClockText);
};

// What it ends with on OK.
struct RuleEditResult {
  std::u16string processPath;
  // None when the chosen entry names no action.
  std::optional<ActionType> action;
  bool enabled = true;
  std::uint32_t priorityHint = 0;
  std::u16string coreClock = std::u16string(kDefaultClockText);
  std::u16string memClock = std::u16string(kDefaultClockText);
};

class RuleEditDialogs {
 public:
  virtual ~RuleEditDialogs() = default;
  // Nothing when the user cancelled.
  virtual std::optional<RuleEditResult> EditRule(const RuleEditRequest& request) = 0;
  // The FROM and TO texts once they passed BulkPriorityErrors; nothing when
  // the user cancelled.
  virtual std::optional<std::pair<std::u16string, std::u16string>> AskBulkPriority() = 0;
};

// Why the bulk dialog may not end with these texts; empty when it may.
std::u16string BulkPriorityErrors(std::u16string_view from, std::u16string_view to);
