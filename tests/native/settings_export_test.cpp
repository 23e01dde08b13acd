#include "config/settings_export.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

std::vector<std::u16string> Lines(const std::u16string& report) {
  EXPECT_TRUE(report.ends_with(u"\r\n"));
  std::vector<std::u16string> lines = Split(report, u"\r\n");
  lines.pop_back();  // after the last CR LF
  return lines;
}

const std::u16string kRule(63, u'=');

}  // namespace

TEST(SettingsExportTest, DefaultSettingsReport) {
  CGeneralSettings_ConfigFile settings;
  settings.DecodeRules();
  const std::vector<std::u16string> lines =
      Lines(BuildSettingsReport(settings, false, {}, &settings.Rules()));
  const std::vector<std::u16string> expected = {
      kRule,
      u"Settings > General",
      kRule,
      u"Start With Windows = FALSE",
      u"Check for Updates on Startup = FALSE",
      u"Always Ontop = TRUE",
      u"Show Splash = TRUE",
      u"Exclude ScreenSavers (fullscreen & 3D detection) = TRUE",
      u"Disable Editor Confirmation = FALSE",
      u"Window Fade Speed = NORMAL",
      u"Blocking Method = COMPUTE -- RELIABLE",
      u"Enable custom clocks = FALSE",
      u"Core-Clock = +0",
      u"Mem-Clock = +0",
      u"",
      u"",
      kRule,
      u"Settings > [ADL] Selected GPU's",
      kRule,
      u"",  // no GPU: the empty lines follow at once
      u"",
      kRule,
      u"Settings > Rules",
      kRule,
      u"[Executable]         | [Action]    | [Core]    | [Mem]     | [Priority] | [Enabled]",
      u"++++++++++++++++++++ | +++++++++++ | +++++++++ | +++++++++ | ++++++++++ | +++++++++",
      u"\"FULLSCREEN_PROGRAM\" | \"Block\"     | \"DEFAULT\" | \"DEFAULT\" | \"0\"        | "
      u"\"YES\"    ",
      u"\"3D_PROGRAM\"         | \"Block\"     | \"DEFAULT\" | \"DEFAULT\" | \"0\"        | \"NO\" "
      u"    ",
      u"\"DEFAULT\"            | \"Downclock\" | \"DEFAULT\" | \"DEFAULT\" | \"0\"        | "
      u"\"YES\"    ",
  };
  EXPECT_EQ(lines, expected);
}

TEST(SettingsExportTest, UnknownValuesLeaveTheLineOpenAndGpusAreListed) {
  CGeneralSettings_ConfigFile settings;
  settings.WindowFadeSpeed.Set(5);
  settings.BlockingMethod.Set(9);
  settings.DefaultClock_Core.Set(u" -20x ");
  const std::vector<std::u16string> lines =
      Lines(BuildSettingsReport(settings, true, {u" RADEON RX 480\t", u"RADEON R9 390"}, nullptr));
  EXPECT_EQ(lines[3], u"Start With Windows = TRUE");
  EXPECT_EQ(lines[9], u"Window Fade Speed = ");
  EXPECT_EQ(lines[10], u"Blocking Method = ");
  EXPECT_EQ(lines[12], u"Core-Clock = -20X");
  EXPECT_EQ(lines[19], u"RADEON RX 480");
  EXPECT_EQ(lines[20], u"RADEON R9 390");
  EXPECT_EQ(lines.size(), 28u) << "no table: headings and the row of \"+\" only";
  EXPECT_EQ(lines.back(), u"++++++++++++ | ++++++++ | ++++++ | +++++ | ++++++++++ | +++++++++");
}
