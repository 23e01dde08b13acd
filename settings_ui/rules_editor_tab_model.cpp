#include "settings_ui/rules_editor_tab_model.h"

#include <array>

#include "app/log.h"
#include "base/format.h"
#include "base/text.h"
#include "settings_ui/rule_colors.h"

namespace {

constexpr std::uint32_t kKeyTab = 9;
constexpr std::uint32_t kKeyReturn = 13;
constexpr std::uint32_t kKeyEscape = 27;
constexpr std::uint32_t kKeySpace = 32;
constexpr std::uint32_t kKeyLeft = 37;
constexpr std::uint32_t kKeyUp = 38;
constexpr std::uint32_t kKeyRight = 39;
constexpr std::uint32_t kKeyDown = 40;
constexpr std::uint32_t kKeyDelete = 46;

constexpr std::array<std::u16string_view, 3> kSpecialNames = {kDefaultRuleName, kFullscreenRuleName,
                                                              k3DRuleName};

constexpr std::u16string_view kOtherPromptsOpen = u"Please confirm any other active prompts first.";
constexpr std::u16string_view kNoAction =
    u"Get_ActionType() returned UINT_MAX, this shouldn't happen...";
constexpr std::u16string_view kNoPath = u"strProcessPath was NULL";
constexpr std::u16string_view kNothingSelected = u"Nothing was selected";

// The canonical spelling of a special rule name, or nothing.
std::optional<std::u16string_view> SpecialName(std::u16string_view name) {
  for (std::u16string_view special : kSpecialNames) {
    if (EqualsNoCase(name, special)) {
      return special;
    }
  }
  return std::nullopt;
}

RuleRow RowOf(const Rule& rule) {
  RuleRow row;
  row.cells = {
      rule.executable,   GetActionName(rule.action),       GetCoreClock(rule),
      GetMemClock(rule), Format(u"%u", rule.priorityHint), IsRuleActive(rule) ? u"YES" : u"NO"};
  row.face = RuleFaceColor(rule);
  row.text = ContrastTextColor(row.face);
  return row;
}

// The list cannot carry "," or the rule field separator in a program text.
std::optional<std::u16string> UnstorableMessage(std::u16string_view executable) {
  if (IsStorableExecutable(executable)) {
    return std::nullopt;
  }
  return Format(
      u"\"%s\" cannot be stored as a program.\r\nA program may not contain \",\" or \"%s\".",
      executable, kRuleFieldSeparator);
}

}  // namespace

RulesEditorTabModel::RulesEditorTabModel(RulesEditorSources sources)
    : settings_(sources.settings),
      settingsLock_(sources.settingsLock),
      prompts_(sources.prompts),
      modalGuard_(sources.modalGuard),
      dialogs_(sources.dialogs) {}

bool RulesEditorTabModel::ConfirmationsDisabled() {
  ReadLockGuard lock(settingsLock_);
  return settings_.bDisableEditorConfirmation.Value();
}

void RulesEditorTabModel::Report(const std::u16string& message) {
  if (!ConfirmationsDisabled()) {
    prompts_.ShowMessage(message);
  }
  Log(message);
}

void RulesEditorTabModel::Changed() {
  if (onChanged) {
    onChanged();
  }
}

void RulesEditorTabModel::RefreshRuleList(std::u16string_view name) {
  const std::u16string wanted = TrimBlanks(name);
  RuleTable table;
  {
    WriteLockGuard lock(settingsLock_);
    settings_.DecodeRules();
    table = settings_.Rules();
    undoSteps_ = settings_.History().empty() ? 0 : settings_.History().size() - 1;
  }
  rows_.clear();
  selected_ = -1;
  for (const Rule& rule : table) {
    if (!wanted.empty() && selected_ < 0 && EqualsNoCase(rule.executable, wanted)) {
      selected_ = static_cast<int>(rows_.size());
    }
    rows_.push_back(RowOf(rule));
  }
  Changed();
}

void RulesEditorTabModel::Select(int row) {
  selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

std::u16string RulesEditorTabModel::UndoCaption() const {
  return Format(u"Undo [%u]", undoSteps_);
}

void RulesEditorTabModel::AddRuleCommand() {
  if (addRunning_) {
    return;
  }
  addRunning_ = true;
  if (!modalGuard_.TryAcquire()) {
    prompts_.ShowMessage(kOtherPromptsOpen);
    addRunning_ = false;
    return;
  }
  RuleEditRequest request;
  request.title = u"Create New Rule";
  const std::optional<RuleEditResult> result = dialogs_.EditRule(request);
  if (result) {
    const std::u16string executable = TrimBlanks(result->processPath);
    if (!result->action) {
      prompts_.ShowMessage(kNoAction);
    } else if (executable.empty()) {
      prompts_.ShowMessage(kNoPath);
    } else if (const auto refusal = UnstorableMessage(executable)) {
      prompts_.ShowMessage(*refusal);
    } else {
      bool added = false;
      {
        WriteLockGuard lock(settingsLock_);
        settings_.PushHistory();
        added = AddRule(settings_.Rules(), executable, *result->action, result->enabled,
                        result->priorityHint, result->coreClock, result->memClock);
        settings_.EncodeRules();
        settings_.DecodeRules();
        settings_.DropNoOpStep();
      }
      RefreshRuleList(executable);
      if (added) {
        Report(Format(u"Added rule \"%s\".", executable));
      } else {
        const std::u16string message =
            Format(u"Failed to add rule \"%s\".\r\nDid you maybe intend to edit \"%s\"?",
                   executable, executable);
        prompts_.ShowMessage(message);
        Log(message);
      }
    }
  }
  modalGuard_.Release();
  addRunning_ = false;
}

void RulesEditorTabModel::DeleteRuleCommand() {
  if (selected_ < 0) {
    if (!ConfirmationsDisabled()) {
      prompts_.ShowMessage(kNothingSelected);
    }
    return;
  }
  const std::u16string name = rows_[static_cast<std::size_t>(selected_)].cells[0];
  if (const auto special = SpecialName(name)) {
    prompts_.ShowMessage(Format(
        u"You cannot delete \"%s\".\r\nThis is a special rule that defines the default behavior.",
        *special));
    return;
  }
  const std::u16string answer =
      ConfirmationsDisabled()
          ? std::u16string(u"Yes")
          : prompts_.PromptTwo(u"No", u"Yes",
                               Format(u"Are you sure that you want to delete \"%s\"?", name));
  if (!EqualsNoCase(answer, u"Yes")) {
    return;
  }
  bool deleted = false;
  {
    WriteLockGuard lock(settingsLock_);
    settings_.PushHistory();
    deleted = DeleteRule(settings_.Rules(), name);
    settings_.EncodeRules();
  }
  RefreshRuleList(u"");
  if (deleted) {
    Report(Format(u"Deleted rule \"%s\".", name));
  }
}

void RulesEditorTabModel::EditRuleCommand() {
  if (editRunning_) {
    return;
  }
  editRunning_ = true;
  if (selected_ < 0) {
    prompts_.ShowMessage(kNothingSelected);
    editRunning_ = false;
    return;
  }
  const std::u16string old = TrimBlanks(rows_[static_cast<std::size_t>(selected_)].cells[0]);
  RuleEditRequest request;
  request.editMode = true;
  request.executable = old;
  request.title = Format(u"Edit Rule \"%s\"", old);
  {
    ReadLockGuard lock(settingsLock_);
    if (const Rule* rule = FindRule(settings_.Rules(), old)) {
      request.action = rule->action;
      request.enabled = IsRuleActive(*rule);
      request.priorityHint = rule->priorityHint;
      request.coreClock = GetCoreClock(*rule);
      request.memClock = GetMemClock(*rule);
    }
  }
  if (!modalGuard_.TryAcquire()) {
    prompts_.ShowMessage(kOtherPromptsOpen);
    editRunning_ = false;
    return;
  }
  if (const std::optional<RuleEditResult> result = dialogs_.EditRule(request)) {
    std::u16string renamed = TrimBlanks(result->processPath);
    const auto oldSpecial = SpecialName(old);
    const auto newSpecial = SpecialName(renamed);
    if (oldSpecial && newSpecial != oldSpecial) {
      prompts_.ShowMessage(u"You cannot change the name of special rules.");
    } else if (newSpecial && newSpecial != oldSpecial) {
      prompts_.ShowMessage(u"You cannot rename to special rule names.");
    } else if (!result->action) {
      prompts_.ShowMessage(kNoAction);
    } else if (renamed.empty()) {
      prompts_.ShowMessage(kNoPath);
    } else if (const auto refusal = UnstorableMessage(renamed)) {
      prompts_.ShowMessage(*refusal);
    } else {
      if (newSpecial) {
        renamed = *newSpecial;
      }
      bool taken = false;
      bool added = false;
      {
        WriteLockGuard lock(settingsLock_);
        taken = RuleExists(settings_.Rules(), renamed) && !EqualsNoCase(renamed, old);
        if (!taken) {
          settings_.PushHistory();
          DeleteRule(settings_.Rules(), old);
          added = AddRule(settings_.Rules(), renamed, *result->action, result->enabled,
                          result->priorityHint, result->coreClock, result->memClock);
          settings_.EncodeRules();
          settings_.DecodeRules();
          settings_.DropNoOpStep();
        }
      }
      if (taken) {
        prompts_.ShowMessage(Format(
            u"Failed to rename \"%s\" to \"%s\".\r\nThe target name \"%s\" is already taken.", old,
            renamed, renamed));
      } else {
        RefreshRuleList(renamed);
        if (added) {
          Report(Format(u"Edited rule \"%s\".", renamed));
        } else {
          const std::u16string message = Format(
              u"Failed to add rule \"%s\".\r\nSomething went really-wrong, this shouldn't have "
              u"happened...",
              renamed);
          prompts_.ShowMessage(message);
          Log(message);
        }
      }
    }
  }
  modalGuard_.Release();
  editRunning_ = false;
}

void RulesEditorTabModel::UndoCommand() {
  std::size_t steps = 0;
  {
    ReadLockGuard lock(settingsLock_);
    steps = settings_.History().empty() ? 0 : settings_.History().size() - 1;
  }
  if (steps == 0) {
    prompts_.ShowMessage(u"There are no stored transactions to undo");
    return;
  }
  {
    WriteLockGuard lock(settingsLock_);
    settings_.UndoHistory();
    settings_.EncodeRules();
    settings_.DecodeRules();
  }
  RefreshRuleList(u"");
  const std::size_t remaining = steps - 1;
  if (remaining >= 2) {
    Report(Format(u"Undo performed, you can repeat this up to \"%u\" more times.", remaining));
  } else if (remaining == 1) {
    Report(Format(u"Undo performed, you can repeat this up to \"%u\" more time.", remaining));
  } else {
    Report(u"Undo performed, there is nothing left in the transaction history.");
  }
}

void RulesEditorTabModel::BulkPriorityCommand() {
  const auto texts = dialogs_.AskBulkPriority();
  if (!texts) {
    Log(u"Bulk priority edit cancelled");
    return;
  }
  const auto from = static_cast<std::uint32_t>(ParseDecimal(TrimBlanks(texts->first), UINT32_MAX));
  const auto to = static_cast<std::uint32_t>(ParseDecimal(TrimBlanks(texts->second), UINT32_MAX));
  {
    WriteLockGuard lock(settingsLock_);
    settings_.PushHistory();
    ChangePriorityHints(settings_.Rules(), from, to);
    settings_.EncodeRules();
    settings_.DecodeRules();
    settings_.DropNoOpStep();
  }
  RefreshRuleList(kDefaultRuleName);
  Report(Format(u"Changed priority-hints of value \"%u\" to \"%u\"", from, to));
}

bool RulesEditorTabModel::OnKeyDown(std::uint32_t key) {
  const int count = static_cast<int>(rows_.size());
  switch (key) {
    case kKeyReturn:
    case kKeySpace:
      EditRuleCommand();
      return true;
    case kKeyDelete:
      DeleteRuleCommand();
      return true;
    case kKeyLeft:
    case kKeyUp:
      if (count > 0) {
        selected_ = selected_ <= 0 ? 0 : selected_ - 1;
        Changed();
      }
      return true;
    case kKeyRight:
    case kKeyDown:
      if (count > 0) {
        selected_ = selected_ < 0 ? 0 : std::min(selected_ + 1, count - 1);
        Changed();
      }
      return true;
    case kKeyTab:
    case kKeyEscape:
      return true;
    default:
      return false;
  }
}

void RulesEditorTabModel::OnDoubleClick() {
  if (selected_ >= 0 && selected_ < static_cast<int>(rows_.size())) {
    EditRuleCommand();
  }
}
