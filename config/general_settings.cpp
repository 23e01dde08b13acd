#include "config/general_settings.h"

#include <algorithm>
#include <limits>

#include "base/format.h"
#include "base/text.h"

namespace {

ConfigSchema& GeneralSchema() {
  static ConfigSchema schema{
      {u"bAlwaysOntop", u"bCheckForUpdatesOnStartup", u"bShowSplash", u"bAlwaysVantreloquin",
       u"bExcludeScreenSavers", u"bDisableEditorConfirmation", u"WindowFadeSpeed",
       u"BlockingMethod", u"DefaultClock_Core", u"DefaultClock_Mem", u"bUsingCustomClocks",
       u"WaitFor_ProcessName", u"WaitFor_ToAppear_Seconds", u"WaitFor_After_Seconds",
       u"Watchdog_Polling_Interval_Seconds", u"vecWhitelist", u"vecBlacklist"},
      {}};
  return schema;
}

// A decimal field parsed as a signed 64-bit number (leading blanks, an
// optional sign, digits up to the first other character; saturating).
// Nothing when there are no digits.
bool ParseSigned64(std::u16string_view text, std::int64_t& value) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  const std::size_t firstDigit = i;
  std::uint64_t magnitude = 0;
  constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(INT64_MAX) + 1;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    magnitude = std::min<std::uint64_t>(magnitude * 10 + (text[i] - u'0'), kLimit);
  }
  if (i == firstDigit) {
    value = 0;
    return false;
  }
  if (negative) {
    value = magnitude >= kLimit ? INT64_MIN : -static_cast<std::int64_t>(magnitude);
  } else {
    value = magnitude >= kLimit ? INT64_MAX : static_cast<std::int64_t>(magnitude);
  }
  return true;
}

std::int64_t FieldNumber(std::u16string_view field) {
  std::int64_t value = 0;
  ParseSigned64(field, value);
  return value;
}

}  // namespace

CGeneralSettings_ConfigFile::CGeneralSettings_ConfigFile() {
  Initialize(&GeneralSchema());
  // Every key holds its default until the archive is loaded.
  ResetToDefaults();
}

void CGeneralSettings_ConfigFile::RegisterVariables() {
  ClearRegisteredVariables();
  for (FlaggedVar_Base* variable : std::initializer_list<FlaggedVar_Base*>{
           &bAlwaysOntop, &bCheckForUpdatesOnStartup, &bShowSplash, &bAlwaysVantreloquin,
           &bExcludeScreenSavers, &bDisableEditorConfirmation, &WindowFadeSpeed, &BlockingMethod,
           &DefaultClock_Core, &DefaultClock_Mem, &bUsingCustomClocks, &WaitFor_ProcessName,
           &WaitFor_ToAppear_Seconds, &WaitFor_After_Seconds, &Watchdog_Polling_Interval_Seconds,
           &vecWhitelist, &vecBlacklist}) {
    RegisterVariable(*variable);
  }
}

void CGeneralSettings_ConfigFile::AssignNames() {
  const std::vector<FlaggedVar_Base*>& variables = RegisteredVariables();
  for (std::size_t i = 0; i < variables.size(); ++i) {
    variables[i]->SetNameIndex(static_cast<std::uint16_t>(i));
  }
}

void CGeneralSettings_ConfigFile::ResetToDefaults() {
  bAlwaysOntop.SetDefault(true);
  bCheckForUpdatesOnStartup.SetDefault(false);
  bShowSplash.SetDefault(true);
  bAlwaysVantreloquin.SetDefault(false);
  bExcludeScreenSavers.SetDefault(true);
  bDisableEditorConfirmation.SetDefault(false);
  WindowFadeSpeed.SetDefault(0);
  BlockingMethod.SetDefault(0);
  DefaultClock_Core.SetDefault(u"+0");
  DefaultClock_Mem.SetDefault(u"+0");
  bUsingCustomClocks.SetDefault(false);
  WaitFor_ProcessName.SetDefault(u"");
  WaitFor_ToAppear_Seconds.SetDefault(u"0");
  WaitFor_After_Seconds.SetDefault(u"0");
  Watchdog_Polling_Interval_Seconds.SetDefault(10);
  vecWhitelist.SetDefault({});
  vecBlacklist.SetDefault({});
  history_.assign(1, RuleTable());
}

RuleTable& CGeneralSettings_ConfigFile::Rules() {
  if (history_.empty()) {
    history_.emplace_back();
  }
  return history_.front();
}

const RuleTable& CGeneralSettings_ConfigFile::Rules() const {
  static const RuleTable empty;
  return history_.empty() ? empty : history_.front();
}

void CGeneralSettings_ConfigFile::PushHistory() {
  RuleTable current = history_.empty() ? RuleTable() : history_.front();
  history_.insert(history_.begin(), std::move(current));
  while (history_.size() > kMaxHistory) {
    history_.pop_back();
  }
}

void CGeneralSettings_ConfigFile::UndoHistory() {
  if (history_.size() >= 2) {
    history_.erase(history_.begin());
  }
}

void CGeneralSettings_ConfigFile::DropNoOpStep() {
  if (history_.size() >= 2 && TablesEqual(history_[0], history_[1])) {
    history_.erase(history_.begin());
  }
}

void CGeneralSettings_ConfigFile::EncodeRules() {
  std::vector<std::u16string> elements;
  if (!history_.empty()) {
    for (const Rule& rule : history_.front()) {
      elements.push_back(EncodeRuleElement(rule));
    }
  }
  vecWhitelist.Set(elements);
}

void CGeneralSettings_ConfigFile::DecodeRules() {
  RuleTable decoded;
  for (const std::u16string& element : vecWhitelist.Value()) {
    Rule rule;
    if (DecodeRuleElement(element, rule)) {
      decoded.push_back(std::move(rule));
    }
  }
  Rules() = NormalizeRuleTable(std::move(decoded));
}

void CGeneralSettings_ConfigFile::AddSelectedGpu(std::u16string_view name) {
  const std::u16string upper = ToUpperAscii(name);
  std::vector<std::u16string> gpus = vecBlacklist.Value();
  for (const std::u16string& gpu : gpus) {
    if (EqualsNoCase(gpu, upper)) {
      return;
    }
  }
  gpus.push_back(upper);
  std::sort(gpus.begin(), gpus.end());
  vecBlacklist.Set(gpus);
}

void CGeneralSettings_ConfigFile::RemoveSelectedGpu(std::u16string_view name) {
  const std::u16string upper = ToUpperAscii(name);
  std::vector<std::u16string> kept;
  for (const std::u16string& gpu : vecBlacklist.Value()) {
    if (!EqualsNoCase(gpu, upper)) {
      kept.push_back(ToUpperAscii(gpu));
    }
  }
  vecBlacklist.Set(kept);
}

std::u16string EncodeRuleElement(const Rule& rule) {
  const std::u16string separator(kRuleFieldSeparator);
  return rule.executable + separator + Format(u"%u", static_cast<std::uint32_t>(rule.action)) +
         separator + (IsRuleActive(rule) ? u"TRUE" : u"FALSE") + separator +
         Format(u"%u", rule.priorityHint) + separator + GetCoreClock(rule) + separator +
         GetMemClock(rule);
}

bool DecodeRuleElement(std::u16string_view element, Rule& rule) {
  std::vector<std::u16string> fields;
  for (const std::u16string& field : Split(element, kRuleFieldSeparator)) {
    fields.push_back(TrimBlanks(field));
  }
  if (fields.size() < 2) {
    return false;
  }
  rule = Rule();
  rule.executable = fields[0];
  const std::int64_t action = FieldNumber(fields[1]);
  rule.action = static_cast<ActionType>(action >= 0 && action <= 8 ? action : 0);
  rule.enabled = fields.size() < 3 || EqualsNoCase(fields[2], u"TRUE");
  if (fields.size() > 3) {
    const std::int64_t priority = FieldNumber(fields[3]);
    rule.priorityHint = priority >= 0 && priority <= std::numeric_limits<std::uint32_t>::max()
                            ? static_cast<std::uint32_t>(priority)
                            : 0;
  }
  if (fields.size() > 4) {
    rule.coreClock = NormalizeClockText(fields[4]);
  }
  if (fields.size() > 5) {
    rule.memClock = NormalizeClockText(fields[5]);
  }
  return true;
}

bool IsStorableExecutable(std::u16string_view executable) {
  return executable.find(u',') == std::u16string_view::npos &&
         executable.find(kRuleFieldSeparator) == std::u16string_view::npos;
}
