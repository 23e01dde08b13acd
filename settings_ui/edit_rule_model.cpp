#include "settings_ui/edit_rule_model.h"

#include "base/format.h"
#include "base/text.h"
#include "rules/path_helpers.h"
#include "settings_ui/rule_colors.h"

namespace {

constexpr ChoiceColors kGreyChoice{0xFFFFFF, Rgb(140, 140, 140)};

bool IsSpecialName(std::u16string_view name) {
  return EqualsNoCase(name, kDefaultRuleName) || EqualsNoCase(name, kFullscreenRuleName) ||
         EqualsNoCase(name, k3DRuleName);
}

}  // namespace

EditRuleSetup SetupEditRule(const RuleEditRequest& request) {
  EditRuleSetup setup;
  const bool special = IsSpecialName(request.executable);
  std::vector<ActionType> offered;
  if (special) {
    offered = {ActionType::Downclock, ActionType::Block};
  } else {
    for (std::uint32_t value = 0; value < kActionCount; ++value) {
      offered.push_back(static_cast<ActionType>(value));
    }
  }
  for (std::size_t i = 0; i < offered.size(); ++i) {
    setup.actionEntries.push_back(GetActionName(offered[i]));
    if (request.action == offered[i]) {
      setup.selectedEntry = static_cast<int>(i);
    }
  }
  setup.enabledBoxUsable = !EqualsNoCase(request.executable, kDefaultRuleName);
  setup.programFieldsUsable = !special;
  setup.executableText =
      request.executable.empty() ? std::u16string(kNotDefined) : request.executable;
  setup.priorityText = Format(u"%u", request.priorityHint);
  return setup;
}

std::u16string ClockDisplayText(std::u16string_view clock, std::u16string_view shown) {
  const std::u16string text = TrimBlanks(clock);
  if (EqualsNoCase(text, kDefaultClockText)) {
    return std::u16string(kDefaultClockText);
  }
  if (text.empty()) {
    return std::u16string(shown);
  }
  const bool offset = text[0] == u'+' || text[0] == u'-';
  return text + (offset ? u" => **OFFSET**" : u" => **ABSOLUTE**");
}

std::variant<RuleEditResult, std::u16string> CheckEditRule(std::u16string_view processPath,
                                                           std::u16string_view actionEntry,
                                                           std::u16string_view priorityText,
                                                           bool enabled,
                                                           std::u16string_view coreClock,
                                                           std::u16string_view memClock) {
  RuleEditResult result;
  result.processPath = TrimBlanks(processPath);
  if (result.processPath.empty() || EqualsNoCase(result.processPath, kNotDefined)) {
    return std::u16string(u"You didn't specify a process path or file-name.");
  }
  const std::u16string priority = TrimBlanks(priorityText);
  if (!IsAllDigits(priority)) {
    return std::u16string(u"priority-hint must be a positive integer >= 0");
  }
  result.priorityHint = static_cast<std::uint32_t>(ParseDecimal(priority, UINT32_MAX));
  const int action = GetActionFromName(actionEntry);
  if (action >= 0) {
    result.action = static_cast<ActionType>(action);
  }
  result.enabled = enabled;
  result.coreClock = coreClock;
  result.memClock = memClock;
  return result;
}

std::optional<std::u16string> AskRuleClock(Prompts& prompts, ClockKind kind) {
  const bool core = kind == ClockKind::Core;
  std::u16string entered;
  const TextPromptTexts texts{
      core ? u"Set ADL Core-Clock override" : u"Set ADL Mem-Clock override",
      core ? u"Examples:\r\n+50 or -50 (relative offset from max stock-clock)\r\n1050, 800, 512, "
             u"etc (absolute assignment)"
           : u"Examples:\r\n+50 or -50 (relative offset from max stock-mem)\r\n500, 520, 545, etc "
             u"(absolute assignment)",
      core ? u"Enter Core-Clock in this field.\r\n\r\nYou can specify Core-Clock as an offset or "
             u"absolute value."
           : u"Enter Mem-Clock in this field.\r\n\r\nYou can specify Mem-Clock as an offset or "
             u"absolute value.",
      u"Abort, change nothing.",
      u"Confirm the new clock.\r\n\r\n-if ADL blocking is active, this takes effect "
      u"\"IMMEDIATELY\"."};
  if (!prompts.PromptForText(&entered, texts)) {
    return std::nullopt;
  }
  const std::u16string text = TrimBlanks(entered);
  if (text.empty()) {
    return std::nullopt;
  }
  // NormalizeClockText turns every invalid entry into "DEFAULT"; only the
  // word itself may mean it here.
  const std::u16string normal = NormalizeClockText(text);
  if (normal != kDefaultClockText || EqualsNoCase(text, kDefaultClockText)) {
    return normal;
  }
  prompts.PromptOk(
      u"Illegal entry.\r\n\r\nClock must be either a signed (offset), an unsigned (absolute) "
      u"integer, or \"DEFAULT\".");
  return std::nullopt;
}

std::optional<std::u16string> ChooseProgramText(Prompts& prompts, std::u16string_view entry) {
  const std::u16string path = TrimBlanks(entry);
  const std::u16string fileName = TrimBlanks(GetFileNamePart(path));
  if (fileName == path) {
    prompts.PromptOk(
        u"Unable able to extract Full-Path from this process.\r\nSo, we will use the File-Name.");
    return path;
  }
  const std::u16string answer = prompts.PromptTwo(
      u"Full-Path", u"File-Name", u"Do you want to store the full-path, or the file-name only?",
      kGreyChoice, kGreyChoice);
  if (EqualsNoCase(answer, u"Full-Path")) {
    return path;
  }
  if (EqualsNoCase(answer, u"File-Name")) {
    return fileName;
  }
  return std::nullopt;
}
