// What the rule edit dialog shows and checks: the offered actions, which
// fields a special rule may change, the clock prompts, the Ok checks and
// the full-path or file-name choice of the pickers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "settings_ui/rule_edit_dialogs.h"
#include "toolkit/prompts.h"

inline constexpr std::u16string_view kNotDefined = u"NOT DEFINED";

struct EditRuleSetup {
  std::vector<std::u16string> actionEntries;
  int selectedEntry = 0;
  bool enabledBoxUsable = true;
  // The executable field, the four picker buttons and the priority field.
  bool programFieldsUsable = true;
  std::u16string executableText;
  std::u16string priorityText;
};

EditRuleSetup SetupEditRule(const RuleEditRequest& request);

// The clock as the dialog shows it; an empty clock leaves `shown` as it was.
std::u16string ClockDisplayText(std::u16string_view clock, std::u16string_view shown);

// Ok: the values the dialog ends with, or the message why it stays open.
std::variant<RuleEditResult, std::u16string> CheckEditRule(std::u16string_view processPath,
                                                           std::u16string_view actionEntry,
                                                           std::u16string_view priorityText,
                                                           bool enabled,
                                                           std::u16string_view coreClock,
                                                           std::u16string_view memClock);

// Set Core-Clock / Set Mem-Clock: the new clock, or nothing when the user
// cancelled or the entry was refused.
enum class ClockKind { Core, Mem };
std::optional<std::u16string> AskRuleClock(Prompts& prompts, ClockKind kind);

// The question every picker asks for an entry: the text for the executable
// field, or nothing when it stays as it is.
std::optional<std::u16string> ChooseProgramText(Prompts& prompts, std::u16string_view entry);
