#include <gtest/gtest.h>

#include "base/text.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_prompts.h"
#include "settings_ui/edit_rule_model.h"
#include "settings_ui/list_selection.h"
#include "settings_ui/program_pickers.h"

namespace {

std::string U8(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

// Records the list it was shown and picks a scripted line.
class ScriptedPicker : public ListPicker {
 public:
  std::u16string PickFromList(std::u16string_view title,
                              const std::vector<std::u16string>& items) override {
    shownTitle = title;
    ListSelection selection;
    for (const std::u16string& item : items) {
      selection.AddItem(item);
    }
    shownItems = selection.items();
    return pick;
  }
  std::u16string pick;
  std::u16string shownTitle;
  std::vector<std::u16string> shownItems;
};

}  // namespace

TEST(EditRuleTest, SetupOffersWhatTheRuleMayChange) {
  RuleEditRequest fresh;
  const EditRuleSetup created = SetupEditRule(fresh);
  EXPECT_EQ(created.actionEntries.size(), 9u);
  EXPECT_EQ(created.actionEntries[static_cast<std::size_t>(created.selectedEntry)], u"Block");
  EXPECT_EQ(created.executableText, u"NOT DEFINED");
  EXPECT_EQ(created.priorityText, u"0");
  EXPECT_TRUE(created.enabledBoxUsable);
  EXPECT_TRUE(created.programFieldsUsable);

  struct Case {
    std::u16string name;
    ActionType action;
    std::u16string selected;
    bool enabledBoxUsable;
  };
  const Case cases[] = {
      {u"default", ActionType::Block, u"Block", false},
      {u"3D_PROGRAM", ActionType::ForceDownclock, u"Downclock", true},  // not offered
  };
  for (const Case& c : cases) {
    RuleEditRequest request;
    request.executable = c.name;
    request.action = c.action;
    request.priorityHint = 7;
    const EditRuleSetup setup = SetupEditRule(request);
    EXPECT_EQ(setup.actionEntries, (std::vector<std::u16string>{u"Downclock", u"Block"}));
    EXPECT_EQ(setup.actionEntries[static_cast<std::size_t>(setup.selectedEntry)], c.selected);
    EXPECT_EQ(setup.enabledBoxUsable, c.enabledBoxUsable) << U8(c.name);
    EXPECT_FALSE(setup.programFieldsUsable);
    EXPECT_EQ(setup.priorityText, u"7");
  }
}

TEST(EditRuleTest, OkNeedsAProgramAndADigitPriority) {
  struct Case {
    std::u16string path;
    std::u16string priority;
    std::u16string message;  // empty: accepted
    std::uint32_t hint;
  };
  const Case cases[] = {
      {u"NOT DEFINED", u"0", u"You didn't specify a process path or file-name.", 0},
      {u" \t", u"0", u"You didn't specify a process path or file-name.", 0},
      {u"game.exe", u"12 ", u"", 12},
      {u"game.exe", u"", u"", 0},
      {u"game.exe", u"-3", u"priority-hint must be a positive integer >= 0", 0},
      {u"game.exe", u"1e3", u"priority-hint must be a positive integer >= 0", 0},
  };
  for (const Case& c : cases) {
    const auto outcome = CheckEditRule(c.path, u" block if in the foreground ", c.priority, false,
                                       u"+5", u"DEFAULT");
    if (c.message.empty()) {
      ASSERT_TRUE(std::holds_alternative<RuleEditResult>(outcome)) << U8(c.priority);
      const RuleEditResult& result = std::get<RuleEditResult>(outcome);
      EXPECT_EQ(result.priorityHint, c.hint);
      EXPECT_EQ(result.processPath, u"game.exe");
      EXPECT_EQ(result.action, ActionType::BlockIfForeground);
      EXPECT_FALSE(result.enabled);
    } else {
      EXPECT_EQ(std::get<std::u16string>(outcome), c.message) << U8(c.path + c.priority);
    }
  }
  const auto unnamed = CheckEditRule(u"game.exe", u"Turbo", u"0", true, u"", u"");
  EXPECT_FALSE(std::get<RuleEditResult>(unnamed).action.has_value());
}

TEST(EditRuleTest, ClockEntriesAndTheirDisplay) {
  struct Case {
    std::optional<std::u16string> entry;  // nullopt: cancelled
    std::optional<std::u16string> clock;
    bool refused;
  };
  const Case cases[] = {
      {u"+ 50", u"+50", false},
      {u"-0", u"+0", false},
      {u"0800", u"800", false},
      {u"default", u"DEFAULT", false},
      {u"fast", std::nullopt, true},
      {u"  ", std::nullopt, false},
      {std::nullopt, std::nullopt, false},
  };
  for (const Case& c : cases) {
    FakePrompts prompts;
    prompts.textAnswers.push_back(c.entry);
    EXPECT_EQ(AskRuleClock(prompts, ClockKind::Mem), c.clock) << U8(c.entry.value_or(u"-"));
    EXPECT_EQ(prompts.textTitles, std::vector<std::u16string>{u"Set ADL Mem-Clock override"});
    EXPECT_EQ(prompts.shown.size(), c.refused ? 2u : 1u);
  }
  struct Display {
    std::u16string clock;
    std::u16string shown;
  };
  const Display displays[] = {{u"+50", u"+50 => **OFFSET**"},
                              {u" 1050 ", u"1050 => **ABSOLUTE**"},
                              {u"default", u"DEFAULT"},
                              {u"", u"previous"}};
  for (const Display& d : displays) {
    EXPECT_EQ(ClockDisplayText(d.clock, u"previous"), d.shown);
  }
}

TEST(EditRuleTest, FullPathOrFileNameChoice) {
  struct Case {
    std::u16string entry;
    std::u16string answer;
    std::optional<std::u16string> text;
    std::u16string question;
  };
  const Case cases[] = {
      {u"D:\\Games\\x.exe", u"File-Name", u"x.exe",
       u"Do you want to store the full-path, or the file-name only?"},
      {u"D:\\Games\\x.exe ", u"full-path", u"D:\\Games\\x.exe",
       u"Do you want to store the full-path, or the file-name only?"},
      {u"D:\\Games\\x.exe", u"", std::nullopt,
       u"Do you want to store the full-path, or the file-name only?"},
      {u"x.exe", u"", u"x.exe",
       u"Unable able to extract Full-Path from this process.\r\nSo, we will use the File-Name."},
  };
  for (const Case& c : cases) {
    FakePrompts prompts;
    prompts.answer = c.answer;
    EXPECT_EQ(ChooseProgramText(prompts, c.entry), c.text) << U8(c.entry + c.answer);
    EXPECT_EQ(prompts.shown.back(), c.question);
  }
}

TEST(ProgramPickersTest, ProcessesLeaveOutWindowsProgramsAndShowEachProgramOnce) {
  FakeDesktop desktop;
  desktop.processes = {
      {1, u"svchost.exe", u"C:\\Windows\\System32\\svchost.exe", {}},
      {2, u"explorer.exe", u"", {}},
      {3, u"game.exe", u"D:/Games/game.exe", {}},
      {4, u"game.exe", u"D:\\Games\\game.exe", {}},
      {5, u"locked.exe", u"", {}},
      {6, u"app.exe", u"C:\\Apps\\app.exe", {}},
      {7, u"notes.txt", u"C:\\Windows\\notes.txt", {}},
  };
  ScriptedPicker picker;
  picker.pick = u" D:\\GAMES\\GAME.EXE ";
  FakePrompts prompts;
  prompts.answer = u"File-Name";
  const LocalTime now{2026, 344, 15, 4, 9};
  const auto text =
      PickRunningProcess(PickerContext{desktop, picker, prompts, u"C:\\Windows\\", now});
  EXPECT_EQ(text, std::optional<std::u16string>(u"game.exe"));
  EXPECT_EQ(picker.shownTitle, u"03:04:09 PM >> Process Snapshot");
  EXPECT_EQ(picker.shownItems,
            (std::vector<std::u16string>{u"C:\\Apps\\app.exe", u"C:\\Windows\\notes.txt",
                                         u"D:\\Games\\game.exe", u"locked.exe"}));
}

TEST(ProgramPickersTest, WindowOfAnUnreadableProcessGivesItsFileName) {
  FakeDesktop desktop;
  desktop.processes = {{1, u"vantreloquin.exe", u"C:\\V\\vantreloquin.exe", {}},
                       {9, u"other.exe", u"", {}}};
  desktop.windows[10] = FakeDesktop::Window{1, true, false, {}, {}};
  desktop.windows[11] = FakeDesktop::Window{9, true, false, {}, {}};
  desktop.windows[12] = FakeDesktop::Window{9, true, true, {}, {}};
  desktop.titles = {{10, u"Settings"}, {11, u"Other's game"}, {12, u"Minimised"}};
  ScriptedPicker picker;
  picker.pick = u"[\"Other's game\"] | other.exe";
  FakePrompts prompts;
  const auto text =
      PickVisibleWindow(PickerContext{desktop, picker, prompts, u"C:\\Windows\\", LocalTime{}});
  EXPECT_EQ(picker.shownItems, std::vector<std::u16string>{u"[\"Other's game\"] | other.exe"});
  EXPECT_EQ(text, std::optional<std::u16string>(u"other.exe"));
  EXPECT_EQ(
      prompts.shown.back(),
      u"Unable able to extract Full-Path from this process.\r\nSo, we will use the File-Name.");
}
