// The application's settings: seventeen setting variables and the history
// of rule tables. The rule table travels in the settings text as the string
// list vecWhitelist, one encoded element per rule.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"
#include "config/flagged_var.h"
#include "rules/rule.h"

// Joins the fields of an encoded rule.
inline constexpr std::u16string_view kRuleFieldSeparator = u"<<@%^&%#ztturL@&>>";

// Entry 0 is the current table; the others are earlier states for undo.
using RuleTableHistory = std::vector<RuleTable>;

class CGeneralSettings_ConfigFile : public CBase_ConfigFile {
 public:
  static constexpr std::size_t kMaxHistory = 21;

  CGeneralSettings_ConfigFile();

  void RegisterVariables() override;
  void ResetToDefaults() override;
  void AssignNames() override;

  // Undo history of the rule table; callers hold the writer side of the
  // settings lock.
  void PushHistory();
  void UndoHistory();
  void DropNoOpStep();
  const RuleTableHistory& History() const { return history_; }
  // The current rule table (history entry 0; there is always one after
  // DecodeRules).
  RuleTable& Rules();
  const RuleTable& Rules() const;

  // Current table -> vecWhitelist, and back (in normal form).
  void EncodeRules();
  void DecodeRules();

  std::vector<std::u16string> GetSelectedGpus() const { return vecBlacklist.Value(); }
  void AddSelectedGpu(std::u16string_view name);
  void RemoveSelectedGpu(std::u16string_view name);

  FlaggedVar<bool> bAlwaysOntop;
  FlaggedVar<bool> bCheckForUpdatesOnStartup;
  FlaggedVar<bool> bShowSplash;
  FlaggedVar<bool> bAlwaysVantreloquin;
  FlaggedVar<bool> bExcludeScreenSavers;
  FlaggedVar<bool> bDisableEditorConfirmation;
  FlaggedVar<std::uint32_t> WindowFadeSpeed;
  FlaggedVar<std::uint32_t> BlockingMethod;
  FlaggedVar<std::u16string> DefaultClock_Core;
  FlaggedVar<std::u16string> DefaultClock_Mem;
  FlaggedVar<bool> bUsingCustomClocks;
  FlaggedVar<std::u16string> WaitFor_ProcessName;
  FlaggedVar<std::u16string> WaitFor_ToAppear_Seconds;
  FlaggedVar<std::u16string> WaitFor_After_Seconds;
  FlaggedVar<std::uint32_t> Watchdog_Polling_Interval_Seconds;
  FlaggedVar<std::vector<std::u16string>> vecWhitelist;
  FlaggedVar<std::vector<std::u16string>> vecBlacklist;

 private:
  RuleTableHistory history_;
};

// One vecWhitelist element for a rule, and the rule an element stands for
// (false for an element with fewer than two fields).
std::u16string EncodeRuleElement(const Rule& rule);
bool DecodeRuleElement(std::u16string_view element, Rule& rule);

// Whether the settings list can carry the program text: it cannot hold ","
// (the list separator) or the rule field separator.
bool IsStorableExecutable(std::u16string_view executable);
