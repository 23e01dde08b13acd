#include "config/general_settings.h"

#include <gtest/gtest.h>

#include "base/format.h"
#include "base/text.h"

namespace {

const std::u16string kSep(kRuleFieldSeparator);

std::u16string Element(std::initializer_list<const char16_t*> fields) {
  std::u16string element;
  bool first = true;
  for (const char16_t* field : fields) {
    element += (first ? u"" : kSep) + std::u16string(field);
    first = false;
  }
  return element;
}

}  // namespace

TEST(GeneralSettingsTest, DefaultsInSchemaOrder) {
  CGeneralSettings_ConfigFile settings;
  settings.MarkDirtyAndReset();
  EXPECT_EQ(Utf16ToUtf8(settings.BuildText()),
            "bAlwaysOntop = true\r\n"
            "bCheckForUpdatesOnStartup = false\r\n"
            "bShowSplash = true\r\n"
            "bAlwaysVantreloquin = false\r\n"
            "bExcludeScreenSavers = true\r\n"
            "bDisableEditorConfirmation = false\r\n"
            "WindowFadeSpeed = 0\r\n"
            "BlockingMethod = 0\r\n"
            "DefaultClock_Core = +0\r\n"
            "DefaultClock_Mem = +0\r\n"
            "bUsingCustomClocks = false\r\n"
            "WaitFor_ProcessName = \r\n"
            "WaitFor_ToAppear_Seconds = 0\r\n"
            "WaitFor_After_Seconds = 0\r\n"
            "Watchdog_Polling_Interval_Seconds = 10\r\n"
            "vecWhitelist = \r\n"
            "vecBlacklist = \r\n");
  EXPECT_EQ(settings.History().size(), 1u);
  EXPECT_TRUE(settings.Rules().empty());
  EXPECT_EQ(settings.FindVariable(u"BlockingMethod"), &settings.BlockingMethod);
}

TEST(GeneralSettingsTest, FreshObjectEncodesAndDecodesToTheSpecialRules) {
  CGeneralSettings_ConfigFile settings;
  settings.EncodeRules();
  settings.DecodeRules();
  const RuleTable& rules = settings.Rules();
  ASSERT_EQ(rules.size(), 3u);
  EXPECT_EQ(rules[0].executable, u"FULLSCREEN_PROGRAM");
  EXPECT_EQ(rules[1].executable, u"3D_PROGRAM");
  EXPECT_FALSE(rules[1].enabled);
  EXPECT_EQ(rules[2].executable, u"DEFAULT");
  EXPECT_EQ(rules[2].action, ActionType::Downclock);

  settings.EncodeRules();
  ASSERT_EQ(settings.vecWhitelist.Value().size(), 3u);
  EXPECT_EQ(settings.vecWhitelist.Value()[1],
            Element({u"3D_PROGRAM", u"0", u"FALSE", u"0", u"DEFAULT", u"DEFAULT"}));
}

TEST(GeneralSettingsTest, RuleElementsDecodeLeniently) {
  struct Case {
    std::u16string element;
    bool kept;
    Rule expected;
  };
  auto rule = [](const char16_t* executable, ActionType action, bool enabled,
                 std::uint32_t priority, const char16_t* core, const char16_t* mem) {
    return Rule{executable, core, mem, action, priority, enabled};
  };
  const Case cases[] = {
      {u"game.exe", false, {}},
      {Element({u" game.exe ", u"4"}), true,
       rule(u"game.exe", ActionType::DownclockIfForeground, true, 0, u"DEFAULT", u"DEFAULT")},
      {Element({u"a.exe", u"9", u"true", u"7", u" -50 ", u"+0050"}), true,
       rule(u"a.exe", ActionType::Block, true, 7, u"-50", u"+50")},
      {Element({u"a.exe", u"-1", u"yes", u"-1", u"5MHz", u"1050"}), true,
       rule(u"a.exe", ActionType::Block, false, 0, u"DEFAULT", u"1050")},
      {Element({u"a.exe", u"abc", u"TRUE", u"4294967296", u"", u"-0"}), true,
       rule(u"a.exe", ActionType::Block, true, 0, u"DEFAULT", u"+0")},
      {Element({u"", u"6", u"FALSE", u"4294967295", u"+7", u"8", u"extra"}), true,
       rule(u"", ActionType::ForceDownclock, false, 4294967295u, u"+7", u"8")},
  };
  for (const Case& c : cases) {
    Rule decoded;
    ASSERT_EQ(DecodeRuleElement(c.element, decoded), c.kept) << Utf16ToUtf8(c.element);
    if (c.kept) {
      EXPECT_TRUE(TablesEqual({decoded}, {c.expected})) << Utf16ToUtf8(c.element);
    }
  }
}

TEST(GeneralSettingsTest, EncodingWritesActiveStateAndNormalClocks) {
  Rule defaults;
  defaults.executable = u"DEFAULT";
  defaults.action = ActionType::Downclock;
  defaults.enabled = false;
  EXPECT_EQ(EncodeRuleElement(defaults),
            Element({u"DEFAULT", u"3", u"TRUE", u"0", u"DEFAULT", u"DEFAULT"}));
  Rule game;
  game.executable = u"C:\\Games\\game.exe";
  game.action = ActionType::BlockIfBackground;
  game.priorityHint = 12;
  game.coreClock = u"- 007";
  game.memClock = u"+";
  game.enabled = false;
  EXPECT_EQ(EncodeRuleElement(game),
            Element({u"C:\\Games\\game.exe", u"2", u"FALSE", u"12", u"-7", u"+0"}));
}

TEST(GeneralSettingsTest, RulesRoundTripThroughTheList) {
  CGeneralSettings_ConfigFile settings;
  ASSERT_TRUE(AddRule(settings.Rules(), u"game10.exe", ActionType::Block, true, 0, u"+50"));
  ASSERT_TRUE(AddRule(settings.Rules(), u"game2.exe", ActionType::Block, true, 0));
  ASSERT_TRUE(AddRule(settings.Rules(), u"*.scr", ActionType::Downclock, false, 3));
  settings.EncodeRules();
  settings.DecodeRules();
  const RuleTable decoded = settings.Rules();
  settings.EncodeRules();
  settings.DecodeRules();
  EXPECT_TRUE(TablesEqual(settings.Rules(), decoded));
  ASSERT_EQ(decoded.size(), 6u);
  EXPECT_EQ(decoded[0].executable, u"*.scr");
  EXPECT_EQ(decoded[1].executable, u"game2.exe");
  EXPECT_EQ(decoded[2].executable, u"game10.exe");
  EXPECT_EQ(decoded[2].coreClock, u"+50");
}

TEST(GeneralSettingsTest, HistoryKeepsTwentyOneTablesAndUndoes) {
  CGeneralSettings_ConfigFile settings;
  for (int i = 0; i < 30; ++i) {
    settings.PushHistory();
    AddRule(settings.Rules(), Format(u"p%i.exe", i), ActionType::Block, true, 0);
  }
  ASSERT_EQ(settings.History().size(), CGeneralSettings_ConfigFile::kMaxHistory);
  EXPECT_EQ(settings.Rules().size(), 30u);

  settings.UndoHistory();
  EXPECT_EQ(settings.Rules().size(), 29u);

  settings.PushHistory();  // a step that changes nothing
  settings.DropNoOpStep();
  EXPECT_EQ(settings.History().size(), CGeneralSettings_ConfigFile::kMaxHistory - 1);
  settings.PushHistory();
  AddRule(settings.Rules(), u"new.exe", ActionType::Block, true, 0);
  settings.DropNoOpStep();
  EXPECT_EQ(settings.History().size(), CGeneralSettings_ConfigFile::kMaxHistory);

  for (int i = 0; i < 40; ++i) {
    settings.UndoHistory();
  }
  EXPECT_EQ(settings.History().size(), 1u) << "the last table is never undone";
}

TEST(GeneralSettingsTest, SelectedGpusAreUpperCaseSortedAndUnique) {
  CGeneralSettings_ConfigFile settings;
  settings.AddSelectedGpu(u"Radeon RX 7900");
  settings.AddSelectedGpu(u"radeon rx 6600");
  settings.AddSelectedGpu(u"RADEON rx 7900");
  EXPECT_EQ(settings.GetSelectedGpus(),
            (std::vector<std::u16string>{u"RADEON RX 6600", u"RADEON RX 7900"}));
  settings.RemoveSelectedGpu(u"Radeon Rx 6600");
  EXPECT_EQ(settings.GetSelectedGpus(), (std::vector<std::u16string>{u"RADEON RX 7900"}));
}

TEST(GeneralSettingsTest, ProgramTextsTheListCannotCarry) {
  EXPECT_TRUE(IsStorableExecutable(u"C:\\Games\\My Game\\game.exe"));
  EXPECT_FALSE(IsStorableExecutable(u"C:\\Games\\Foo, Bar\\game.exe"));
  EXPECT_FALSE(IsStorableExecutable(u"a" + kSep + u"b"));
}
