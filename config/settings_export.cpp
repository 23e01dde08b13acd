#include "config/settings_export.h"

#include <algorithm>
#include <array>

#include "base/format.h"
#include "base/text.h"

namespace {

constexpr std::u16string_view kRuleLine =
    u"===============================================================";

using Row = std::array<std::u16string, 6>;

// Appends the text line-wise: line breaks made LF, every piece (empty ones
// kept) followed by CR LF.
void AppendLines(std::u16string& report, std::u16string_view text) {
  if (text.empty()) {
    return;
  }
  for (const std::u16string& piece : Split(NormalizeLineBreaks(text), u"\n")) {
    report += piece;
    report += u"\r\n";
  }
}

void AppendSection(std::u16string& report, std::u16string_view title) {
  AppendLines(report, kRuleLine);
  AppendLines(report, title);
  AppendLines(report, kRuleLine);
}

void AppendSetting(std::u16string& report, std::u16string_view label, std::u16string_view value) {
  AppendLines(report, TrimBlanks(label) + u" = " + ToUpperAscii(TrimBlanks(value)));
}

std::u16string FadeSpeedText(std::uint32_t speed) {
  switch (speed) {
    case 0:
      return u"NORMAL";
    case 1:
      return u"FAST";
    default:
      return {};
  }
}

std::u16string BlockingMethodText(std::uint32_t method) {
  switch (method) {
    case 0:
      return u"COMPUTE -- RELIABLE";
    case 1:
      return u"COMPUTE -- ALTERNATE";
    case 2:
      return u"ADL";
    case 3:
      return u"COMBINED (COMPUTE + ADL)";
    default:
      return {};
  }
}

std::u16string Quoted(std::u16string_view text) {
  return u"\"" + TrimBlanks(text) + u"\"";
}

}  // namespace

std::vector<std::u16string> FormatRuleTable(const RuleTable& rules) {
  std::vector<Row> rows = {
      Row{u"[Executable]", u"[Action]", u"[Core]", u"[Mem]", u"[Priority]", u"[Enabled]"}, Row{}};
  for (const Rule& rule : rules) {
    rows.push_back(Row{Quoted(rule.executable), Quoted(GetActionName(rule.action)),
                       Quoted(GetCoreClock(rule)), Quoted(GetMemClock(rule)),
                       Quoted(Format(u"%u", rule.priorityHint)),
                       Quoted(IsRuleActive(rule) ? u"YES" : u"NO")});
  }
  std::array<std::size_t, 6> widths{};
  for (const Row& row : rows) {
    for (std::size_t column = 0; column < widths.size(); ++column) {
      widths[column] = std::max(widths[column], row[column].size());
    }
  }
  std::vector<std::u16string> lines;
  for (const Row& row : rows) {
    std::u16string line;
    for (std::size_t column = 0; column < widths.size(); ++column) {
      if (column > 0) {
        line += u" | ";
      }
      const std::u16string& cell = row[column];
      line += cell;
      line.append(widths[column] - cell.size(), cell.empty() ? u'+' : u' ');
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::u16string BuildSettingsReport(const CGeneralSettings_ConfigFile& settings, bool taskScheduled,
                                   const std::vector<std::u16string>& selectedGpus,
                                   const RuleTable* rules) {
  std::u16string report;
  AppendSection(report, u"Settings > General");
  AppendSetting(report, u"Start With Windows", taskScheduled ? u"TRUE" : u"FALSE");
  AppendSetting(report, u"Check for Updates on Startup",
                settings.bCheckForUpdatesOnStartup.GetValueText());
  AppendSetting(report, u"Always Ontop", settings.bAlwaysOntop.GetValueText());
  AppendSetting(report, u"Show Splash", settings.bShowSplash.GetValueText());
  AppendSetting(report, u"Exclude ScreenSavers (fullscreen & 3D detection)",
                settings.bExcludeScreenSavers.GetValueText());
  AppendSetting(report, u"Disable Editor Confirmation",
                settings.bDisableEditorConfirmation.GetValueText());
  AppendSetting(report, u"Window Fade Speed", FadeSpeedText(settings.WindowFadeSpeed.Value()));
  AppendSetting(report, u"Blocking Method", BlockingMethodText(settings.BlockingMethod.Value()));
  AppendSetting(report, u"Enable custom clocks", settings.bUsingCustomClocks.GetValueText());
  AppendSetting(report, u"Core-Clock", settings.DefaultClock_Core.GetValueText());
  AppendSetting(report, u"Mem-Clock", settings.DefaultClock_Mem.GetValueText());
  AppendLines(report, u"\r\n");
  AppendSection(report, u"Settings > [ADL] Selected GPU's");
  for (const std::u16string& gpu : selectedGpus) {
    AppendLines(report, TrimBlanks(gpu));
  }
  AppendLines(report, u"\r\n");
  AppendSection(report, u"Settings > Rules");
  for (const std::u16string& line : FormatRuleTable(rules ? *rules : RuleTable())) {
    AppendLines(report, line);
  }
  return report;
}
