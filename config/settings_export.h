// The readable report of the settings ("Dump to TXT > Settings"): the
// general settings as "label = VALUE" lines, the selected GPUs and the rule
// table in aligned columns. Nothing reads it back.
#pragma once

#include <string>
#include <vector>

#include "config/general_settings.h"

// The report's text, lines ending in CR LF. The caller holds the settings'
// reader lock; rules is null when the history holds no table.
std::u16string BuildSettingsReport(const CGeneralSettings_ConfigFile& settings, bool taskScheduled,
                                   const std::vector<std::u16string>& selectedGpus,
                                   const RuleTable* rules);

// The rule table's rows: headings, a rule of "+", one row per rule, each
// cell padded to its column's width and joined by " | ".
std::vector<std::u16string> FormatRuleTable(const RuleTable& rules);
