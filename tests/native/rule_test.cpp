#include "rules/rule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"

namespace {

Rule MakeRule(std::u16string executable, ActionType action = ActionType::Block,
              std::uint32_t priorityHint = 0, bool enabled = true) {
  Rule rule;
  rule.executable = std::move(executable);
  rule.action = action;
  rule.priorityHint = priorityHint;
  rule.enabled = enabled;
  return rule;
}

std::vector<std::u16string> Names(const RuleTable& table) {
  std::vector<std::u16string> names;
  for (const Rule& rule : table) {
    names.push_back(rule.executable);
  }
  return names;
}

constexpr ActionType kInvalidAction = static_cast<ActionType>(9);

}  // namespace

TEST(RuleTest, NewRuleDefaults) {
  const Rule rule;
  EXPECT_EQ(rule.executable, u"");
  EXPECT_EQ(rule.coreClock, u"DEFAULT");
  EXPECT_EQ(rule.memClock, u"DEFAULT");
  EXPECT_EQ(rule.action, ActionType::Block);
  EXPECT_EQ(rule.priorityHint, 0u);
  EXPECT_TRUE(rule.enabled);
}

TEST(RuleTest, ActionNamesAndRanks) {
  struct Case {
    ActionType action;
    std::u16string name;
    std::uint32_t rank;
  };
  const std::vector<Case> cases = {
      {ActionType::Block, u"Block", 6},
      {ActionType::BlockIfForeground, u"Block if in the foreground", 7},
      {ActionType::BlockIfBackground, u"Block if in the background", 8},
      {ActionType::Downclock, u"Downclock", 3},
      {ActionType::DownclockIfForeground, u"Downclock if in the foreground", 4},
      {ActionType::DownclockIfBackground, u"Downclock if in the background", 5},
      {ActionType::ForceDownclock, u"[ADL] Force-Downclock", 0},
      {ActionType::ForceDownclockIfForeground, u"[ADL] Force-Downclock if in the foreground", 1},
      {ActionType::ForceDownclockIfBackground, u"[ADL] Force-Downclock if in the background", 2},
  };
  for (const Case& c : cases) {
    const auto value = static_cast<int>(c.action);
    EXPECT_EQ(GetActionName(c.action), c.name) << value;
    EXPECT_EQ(GetActionRank(c.action), c.rank) << value;
    EXPECT_EQ(GetActionFromName(c.name), value) << value;
  }

  for (ActionType invalid : {kInvalidAction, static_cast<ActionType>(0xFFFFFFFFu)}) {
    EXPECT_EQ(GetActionName(invalid), u"");
    EXPECT_GT(GetActionRank(invalid), 8u);
  }
}

TEST(RuleTest, ActionFromNameTrimsAndIgnoresCase) {
  const std::vector<std::pair<std::u16string, int>> cases = {
      {u" \tblock IF in the FOREGROUND \t", 1},
      {u"[adl] force-downclock", 6},
      {u"Downclock ", 3},
      {u"Block if in the", -1},
      {u"Blocks", -1},
      {u"", -1},
      {u"\r\nBlock", -1},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(GetActionFromName(text), expected) << Utf16ToUtf8(text);
  }
}

TEST(RuleTest, SpecialNamesAndActivity) {
  const std::vector<std::pair<std::u16string, bool>> special = {
      {u"DEFAULT", true},         {u" default\t", true}, {u"Fullscreen_Program", true},
      {u"3d_program", true},      {u"DEFAULTS", false},  {u"FULLSCREEN", false},
      {u"3D_PROGRAM.exe", false}, {u"", false},
  };
  for (const auto& [name, expected] : special) {
    EXPECT_EQ(IsSpecialRule(name), expected) << Utf16ToUtf8(name);
  }

  // DEFAULT cannot be switched off; the check does not trim the name.
  EXPECT_TRUE(IsRuleActive(MakeRule(u"default", ActionType::Downclock, 0, false)));
  EXPECT_FALSE(IsRuleActive(MakeRule(u" DEFAULT", ActionType::Downclock, 0, false)));
  EXPECT_FALSE(IsRuleActive(MakeRule(u"3D_PROGRAM", ActionType::Block, 0, false)));
  EXPECT_FALSE(IsRuleActive(MakeRule(u"game.exe", ActionType::Block, 0, false)));
  EXPECT_TRUE(IsRuleActive(MakeRule(u"game.exe")));
}

TEST(RuleTest, NormalizeClockText) {
  const std::vector<std::pair<std::u16string, std::u16string>> cases = {
      {u"", u"DEFAULT"},
      {u"DEFAULT", u"DEFAULT"},
      {u"default", u"DEFAULT"},
      {u"+", u"+0"},
      {u"-", u"+0"},
      {u"-0", u"+0"},
      {u"+50", u"+50"},
      {u"-50", u"-50"},
      {u"- 007", u"-7"},
      {u"+ 50\t", u"+50"},
      {u" 50 ", u"50"},
      {u"0800", u"800"},
      {u"   ", u"0"},
      {u"0x10", u"DEFAULT"},
      {u"--5", u"DEFAULT"},
      {u"1.5", u"DEFAULT"},
      {u" +5", u"DEFAULT"},     // the sign counts only as the very first character
      {u"\u0665", u"DEFAULT"},  // a non-ASCII digit
      {u"2147483647", u"2147483647"},
      {u"2147483648", u"2147483647"},
      {u"-99999999999999999999", u"-2147483647"},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(NormalizeClockText(text), expected) << Utf16ToUtf8(text);
  }

  Rule rule;
  rule.coreClock = u" 0800";
  rule.memClock = u"-0";
  EXPECT_EQ(GetCoreClock(rule), u"800");
  EXPECT_EQ(GetMemClock(rule), u"+0");
}

TEST(RuleTest, NaturalCompare) {
  struct Case {
    std::u16string a;
    std::u16string b;
    int sign;
  };
  const std::vector<Case> cases = {
      {u"game2.exe", u"game10.exe", -1},
      {u"Game.exe", u"game.exe", -1},
      {u"a01.exe", u"a1.exe", 0},
      {u"abc", u"abc1", -1},
      {u"abc", u"abc", 0},
      {u"", u"", 0},
      {u"", u"a", -1},
      {u"1", u"a", -1},  // digits vs non-digits: by code units, '1' < 'a'
      {u"a", u"_", 1},   // 'a' (0x61) > '_' (0x5F)
      {u"x9y", u"x10", -1},
      {u"v99999999999", u"v2147483647", 0},  // values are capped
      {u"\u00E9", u"z", 1},
  };
  for (const Case& c : cases) {
    const int forward = NaturalCompare(c.a, c.b);
    const int backward = NaturalCompare(c.b, c.a);
    EXPECT_EQ((forward > 0) - (forward < 0), c.sign)
        << Utf16ToUtf8(c.a) << " vs " << Utf16ToUtf8(c.b);
    EXPECT_EQ((backward > 0) - (backward < 0), -c.sign)
        << Utf16ToUtf8(c.b) << " vs " << Utf16ToUtf8(c.a);
  }
}

TEST(RuleTest, NormalFormOfEmptyTableHasTheThreeSpecials) {
  const RuleTable table = NormalizeRuleTable({});
  ASSERT_EQ(Names(table),
            (std::vector<std::u16string>{u"FULLSCREEN_PROGRAM", u"3D_PROGRAM", u"DEFAULT"}));
  const ActionType actions[] = {ActionType::Block, ActionType::Block, ActionType::Downclock};
  const bool enabled[] = {true, false, true};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(table[i].action, actions[i]) << i;
    EXPECT_EQ(table[i].enabled, enabled[i]) << i;
    EXPECT_EQ(table[i].priorityHint, 0u) << i;
    EXPECT_EQ(table[i].coreClock, u"DEFAULT") << i;
    EXPECT_EQ(table[i].memClock, u"DEFAULT") << i;
  }
}

TEST(RuleTest, NormalFormOrder) {
  using A = ActionType;
  struct Case {
    const char* what;
    RuleTable input;
    std::vector<std::u16string> expected;
  };
  const std::vector<Case> cases = {
      {"equal hints sort by action rank",
       {MakeRule(u"b.exe", A::Block), MakeRule(u"bf.exe", A::BlockIfForeground),
        MakeRule(u"d.exe", A::Downclock), MakeRule(u"fb.exe", A::ForceDownclockIfBackground),
        MakeRule(u"f.exe", A::ForceDownclock)},
       {u"f.exe", u"fb.exe", u"d.exe", u"b.exe", u"bf.exe", u"FULLSCREEN_PROGRAM", u"3D_PROGRAM",
        u"DEFAULT"}},
      {"higher hint first whatever the action, compared unsigned",
       {MakeRule(u"f.exe", A::ForceDownclock, 0), MakeRule(u"one.exe", A::Block, 1),
        MakeRule(u"max.exe", A::BlockIfBackground, 0xFFFFFFFFu)},
       {u"max.exe", u"one.exe", u"f.exe", u"FULLSCREEN_PROGRAM", u"3D_PROGRAM", u"DEFAULT"}},
      {"special rules stay last whatever their hint",
       {MakeRule(u"DEFAULT", A::Downclock, 99), MakeRule(u"3D_PROGRAM", A::Block, 99),
        MakeRule(u"FULLSCREEN_PROGRAM", A::Block, 99), MakeRule(u"z.exe", A::Block, 0)},
       {u"z.exe", u"FULLSCREEN_PROGRAM", u"3D_PROGRAM", u"DEFAULT"}},
      // "game.exe" is one non-digit run and sorts after "game" + digits.
      {"natural order of names",
       {MakeRule(u"game10.exe"), MakeRule(u"game.exe"), MakeRule(u"game2.exe"),
        MakeRule(u"Game.exe")},
       {u"Game.exe", u"game2.exe", u"game10.exe", u"game.exe", u"FULLSCREEN_PROGRAM", u"3D_PROGRAM",
        u"DEFAULT"}},
      {"equal rules keep their order (a01/a1)",
       {MakeRule(u"a1.exe"), MakeRule(u"a01.exe")},
       {u"a1.exe", u"a01.exe", u"FULLSCREEN_PROGRAM", u"3D_PROGRAM", u"DEFAULT"}},
      {"equal rules keep their order (a1/a01)",
       {MakeRule(u"a01.exe"), MakeRule(u"a1.exe")},
       {u"a01.exe", u"a1.exe", u"FULLSCREEN_PROGRAM", u"3D_PROGRAM", u"DEFAULT"}},
      {"duplicated and differently spelt specials are kept in their order",
       {MakeRule(u"default", A::Block), MakeRule(u" 3d_program "), MakeRule(u"x.exe"),
        MakeRule(u"DEFAULT", A::Downclock), MakeRule(u"3D_PROGRAM")},
       {u"x.exe", u"FULLSCREEN_PROGRAM", u" 3d_program ", u"3D_PROGRAM", u"default", u"DEFAULT"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Names(NormalizeRuleTable(c.input)), c.expected) << c.what;
  }
}

TEST(RuleTest, NormalFormKeepsExistingSpecialsAndNormalizesClocks) {
  Rule threeD = MakeRule(u"3D_PROGRAM", ActionType::Downclock, 7, true);
  threeD.coreClock = u"+ 50";
  threeD.memClock = u"junk";
  const RuleTable table = NormalizeRuleTable({threeD});
  ASSERT_EQ(table.size(), 3u);
  const Rule& kept = table[1];
  EXPECT_EQ(kept.executable, u"3D_PROGRAM");
  EXPECT_EQ(kept.action, ActionType::Downclock);
  EXPECT_EQ(kept.priorityHint, 7u);
  EXPECT_TRUE(kept.enabled);
  EXPECT_EQ(kept.coreClock, u"+50");
  EXPECT_EQ(kept.memClock, u"DEFAULT");
  // Already normal tables do not change.
  EXPECT_TRUE(TablesEqual(NormalizeRuleTable(table), table));
}

TEST(RuleTest, AddRule) {
  struct Case {
    const char* what;
    std::u16string executable;
    ActionType action;
    bool added;
  };
  const std::vector<Case> cases = {
      {"duplicate name, other case, blanks around", u" \tGame.EXE ", ActionType::Block, false},
      {"empty name", u"", ActionType::Block, false},
      {"blank name", u" \t ", ActionType::Block, false},
      {"action out of range", u"new.exe", kInvalidAction, false},
      {"new name", u"new.exe", ActionType::ForceDownclockIfBackground, true},
  };
  for (const Case& c : cases) {
    RuleTable table = {MakeRule(u"game.exe")};
    EXPECT_EQ(AddRule(table, c.executable, c.action, true, 0), c.added) << c.what;
    EXPECT_EQ(table.size(), c.added ? 2u : 1u) << c.what;
  }

  RuleTable table = {MakeRule(u"other.exe")};
  ASSERT_TRUE(AddRule(table, u" Game.EXE\t", ActionType::Downclock, false, 4, u" 50", u"-0"));
  ASSERT_EQ(table.size(), 2u);
  const Rule& added = table.back();
  EXPECT_EQ(added.executable, u"Game.EXE");
  EXPECT_EQ(added.action, ActionType::Downclock);
  EXPECT_FALSE(added.enabled);
  EXPECT_EQ(added.priorityHint, 4u);
  EXPECT_EQ(added.coreClock, u" 50");  // stored as passed
  EXPECT_EQ(added.memClock, u"-0");
}

TEST(RuleTest, DeleteFindAndExist) {
  RuleTable table = {MakeRule(u"x.exe", ActionType::Block), MakeRule(u"keep.exe"),
                     MakeRule(u"X.EXE", ActionType::Downclock)};

  // FindRule takes the first from the top and does not trim.
  const Rule* found = FindRule(table, u"X.exe");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found, &table[0]);
  EXPECT_EQ(FindRule(table, u" x.exe"), nullptr);

  EXPECT_TRUE(RuleExists(table, u"\tX.exe "));
  EXPECT_FALSE(RuleExists(table, u"x"));

  EXPECT_FALSE(DeleteRule(table, u"missing.exe"));
  EXPECT_EQ(table.size(), 3u);
  EXPECT_TRUE(DeleteRule(table, u" x.exe "));
  EXPECT_EQ(Names(table), std::vector<std::u16string>{u"keep.exe"});
  EXPECT_FALSE(RuleExists(table, u"x.exe"));
}

TEST(RuleTest, ChangePriorityHintsLeavesSpecialRules) {
  RuleTable table = NormalizeRuleTable({MakeRule(u"a.exe", ActionType::Block, 0),
                                        MakeRule(u"b.exe", ActionType::Downclock, 0),
                                        MakeRule(u"c.exe", ActionType::Block, 3)});
  table.push_back(MakeRule(u" default ", ActionType::Downclock, 0));

  EXPECT_TRUE(ChangePriorityHints(table, 0, 5));
  for (const Rule& rule : table) {
    const bool moved = rule.executable == u"a.exe" || rule.executable == u"b.exe";
    const std::uint32_t expected = moved ? 5 : (rule.executable == u"c.exe" ? 3 : 0);
    EXPECT_EQ(rule.priorityHint, expected) << Utf16ToUtf8(rule.executable);
  }
  EXPECT_FALSE(ChangePriorityHints(table, 0, 5));  // only special rules are left at 0
  EXPECT_FALSE(ChangePriorityHints(table, 5, 5));
}

TEST(RuleTest, TablesEqualComparesEveryFieldExactly) {
  const RuleTable base = NormalizeRuleTable({MakeRule(u"game.exe", ActionType::Block, 2)});
  EXPECT_TRUE(TablesEqual(base, base));

  const std::vector<std::pair<const char*, std::function<void(RuleTable&)>>> changes = {
      {"executable case", [](RuleTable& t) { t[0].executable = u"Game.exe"; }},
      {"core clock", [](RuleTable& t) { t[0].coreClock = u"+0"; }},
      {"mem clock", [](RuleTable& t) { t[0].memClock = u"default"; }},
      {"action", [](RuleTable& t) { t[0].action = ActionType::BlockIfForeground; }},
      {"priority hint", [](RuleTable& t) { t[0].priorityHint = 3; }},
      {"enabled", [](RuleTable& t) { t[2].enabled = true; }},
      {"length", [](RuleTable& t) { t.pop_back(); }},
  };
  for (const auto& [what, change] : changes) {
    RuleTable other = base;
    change(other);
    EXPECT_FALSE(TablesEqual(base, other)) << what;
    EXPECT_FALSE(TablesEqual(other, base)) << what;
  }
}
