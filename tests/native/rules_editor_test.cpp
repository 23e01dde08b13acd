#include "settings_ui/rules_editor_tab_model.h"

#include <gtest/gtest.h>

#include <deque>

#include "base/text.h"
#include "fakes/fake_prompts.h"
#include "fakes/log_capture.h"
#include "settings_ui/rule_colors.h"

namespace {

// The rule edit and bulk dialogs with scripted results.
class ScriptedDialogs : public RuleEditDialogs {
 public:
  std::optional<RuleEditResult> EditRule(const RuleEditRequest& request) override {
    requests.push_back(request);
    if (edits.empty()) {
      return std::nullopt;
    }
    auto next = edits.front();
    edits.pop_front();
    return next;
  }
  std::optional<std::pair<std::u16string, std::u16string>> AskBulkPriority() override {
    return bulk;
  }

  std::deque<std::optional<RuleEditResult>> edits;
  std::vector<RuleEditRequest> requests;
  std::optional<std::pair<std::u16string, std::u16string>> bulk;
};

RuleEditResult Result(std::u16string path, ActionType action = ActionType::Block,
                      std::uint32_t priority = 0) {
  RuleEditResult result;
  result.processPath = std::move(path);
  result.action = action;
  result.priorityHint = priority;
  return result;
}

class RulesEditorTest : public ::testing::Test {
 protected:
  RulesEditorTest() {
    settings.DecodeRules();
    model.RefreshRuleList(u"");
  }
  ~RulesEditorTest() noexcept override = default;

  void Add(const std::u16string& path, std::uint32_t priority = 0) {
    dialogs.edits.push_back(Result(path, ActionType::Block, priority));
    model.AddRuleCommand();
  }
  // Selects the row of the program and runs the command.
  void SelectRow(std::u16string_view name) {
    model.RefreshRuleList(name);
    ASSERT_GE(model.selected(), 0) << "no row for the name";
  }
  std::vector<std::u16string> Programs() {
    std::vector<std::u16string> names;
    for (const RuleRow& row : model.rows()) {
      names.push_back(row.cells[0]);
    }
    return names;
  }

  LogCapture log;
  CGeneralSettings_ConfigFile settings;
  CriticalSection_Wrapper settingsLock{CriticalSection_Wrapper::Form::ReaderWriter};
  FakePrompts prompts;
  ModalGuard guard;
  ScriptedDialogs dialogs;
  RulesEditorTabModel model{RulesEditorSources{settings, settingsLock, prompts, guard, dialogs}};
};

}  // namespace

TEST_F(RulesEditorTest, FreshTableShowsTheThreeSpecialRulesInTheirColours) {
  ASSERT_EQ(model.rows().size(), 3u);
  struct Expected {
    std::array<std::u16string, 6> cells;
    std::uint32_t face;
    std::uint32_t text;
  };
  const Expected expected[] = {
      {{u"FULLSCREEN_PROGRAM", u"Block", u"DEFAULT", u"DEFAULT", u"0", u"YES"},
       Rgb(0xDC, 0x14, 0x3C),
       Rgb(255, 255, 255)},
      {{u"3D_PROGRAM", u"Block", u"DEFAULT", u"DEFAULT", u"0", u"NO"},
       Rgb(100, 100, 100),
       Rgb(255, 255, 255)},
      {{u"DEFAULT", u"Downclock", u"DEFAULT", u"DEFAULT", u"0", u"YES"},
       Rgb(0x6A, 0x5A, 0xCD),
       Rgb(255, 255, 255)},
  };
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(model.rows()[i].cells, expected[i].cells);
    EXPECT_EQ(model.rows()[i].face, expected[i].face) << i;
    EXPECT_EQ(model.rows()[i].text, expected[i].text) << i;
  }
  EXPECT_EQ(model.UndoCaption(), u"Undo [0]");
  // The button colours: white on Orange, black on Cyan.
  EXPECT_EQ(ContrastTextColor(*ColorFromName(u"orange")), Rgb(255, 255, 255));
  EXPECT_EQ(ContrastTextColor(*ColorFromName(u"Cyan")), Rgb(0, 0, 0));
}

TEST_F(RulesEditorTest, AddPushesOneStepAndARefusedAddLeavesNone) {
  Add(u"game.exe");
  EXPECT_EQ(model.UndoCaption(), u"Undo [1]");
  EXPECT_EQ(model.rows()[static_cast<std::size_t>(model.selected())].cells[0], u"game.exe");
  EXPECT_EQ(prompts.shown.back(), u"Added rule \"game.exe\".");
  EXPECT_EQ(dialogs.requests.back().title, u"Create New Rule");

  Add(u" GAME.EXE ");
  EXPECT_EQ(model.UndoCaption(), u"Undo [1]") << "the no-op step is dropped";
  EXPECT_EQ(prompts.shown.back(),
            u"Failed to add rule \"GAME.EXE\".\r\nDid you maybe intend to edit \"GAME.EXE\"?");

  // Texts the stored list cannot carry are refused before anything changes.
  for (const char16_t* path : {u"a,b.exe", u"x<<@%^&%#ztturL@&>>y.exe"}) {
    Add(path);
    EXPECT_TRUE(prompts.shown.back().find(u"cannot be stored") != std::u16string::npos);
  }
  RuleEditResult noAction = Result(u"other.exe");
  noAction.action.reset();
  dialogs.edits.push_back(noAction);
  model.AddRuleCommand();
  EXPECT_EQ(prompts.shown.back(), u"Get_ActionType() returned UINT_MAX, this shouldn't happen...");
  Add(u"  ");
  EXPECT_EQ(prompts.shown.back(), u"strProcessPath was NULL");
  EXPECT_EQ(model.rows().size(), 4u);
  EXPECT_EQ(model.UndoCaption(), u"Undo [1]");
  EXPECT_FALSE(guard.IsBusy());

  settings.bDisableEditorConfirmation.Set(true);
  const std::size_t shown = prompts.shown.size();
  Add(u"quiet.exe");
  EXPECT_EQ(prompts.shown.size(), shown) << "confirmation off";
  EXPECT_EQ(LoggedTexts(log.book()).back(), u"Added rule \"quiet.exe\".");
}

TEST_F(RulesEditorTest, TwentyFiveChangesKeepTwentyUndoSteps) {
  for (int i = 0; i < 25; ++i) {
    Add(u"game" + std::u16string(1, static_cast<char16_t>(u'a' + i)) + u".exe");
  }
  EXPECT_EQ(model.UndoCaption(), u"Undo [20]");
  struct Step {
    int undos;
    std::u16string message;
  };
  for (int i = 0; i < 17; ++i) {
    model.UndoCommand();
  }
  const Step steps[] = {
      {18, u"Undo performed, you can repeat this up to \"2\" more times."},
      {19, u"Undo performed, you can repeat this up to \"1\" more time."},
      {20, u"Undo performed, there is nothing left in the transaction history."},
      {21, u"There are no stored transactions to undo"},
  };
  for (const Step& step : steps) {
    model.UndoCommand();
    EXPECT_EQ(prompts.shown.back(), step.message) << step.undos;
  }
  EXPECT_EQ(model.rows().size(), 8u) << "the state before the 6th change";
  EXPECT_EQ(model.UndoCaption(), u"Undo [0]");
}

TEST_F(RulesEditorTest, DeleteRefusesSpecialRulesAndAsksForOthers) {
  Add(u"game.exe");
  model.Select(-1);
  model.DeleteRuleCommand();
  EXPECT_EQ(prompts.shown.back(), u"Nothing was selected");

  SelectRow(u"3D_PROGRAM");
  model.DeleteRuleCommand();
  EXPECT_EQ(prompts.shown.back(),
            u"You cannot delete \"3D_PROGRAM\".\r\nThis is a special rule that defines the "
            u"default behavior.");

  SelectRow(u"game.exe");
  prompts.answer = u"No";
  model.DeleteRuleCommand();
  EXPECT_EQ(prompts.shown.back(), u"Are you sure that you want to delete \"game.exe\"?");
  EXPECT_EQ(model.rows().size(), 4u);
  prompts.answer = u"yes";
  model.DeleteRuleCommand();
  EXPECT_EQ(prompts.shown.back(), u"Deleted rule \"game.exe\".");
  EXPECT_EQ(model.rows().size(), 3u);
  EXPECT_EQ(model.selected(), -1);
}

TEST_F(RulesEditorTest, EditKeepsSpecialNamesAndRefusesTakenNames) {
  Add(u"game.exe");
  Add(u"other.exe");
  struct Case {
    std::u16string row;
    std::u16string newName;
    std::u16string message;
  };
  const Case cases[] = {
      {u"DEFAULT", u"game2.exe", u"You cannot change the name of special rules."},
      {u"game.exe", u"3d_program", u"You cannot rename to special rule names."},
      {u"game.exe", u"OTHER.exe",
       u"Failed to rename \"game.exe\" to \"OTHER.exe\".\r\nThe target name \"OTHER.exe\" is "
       u"already taken."},
      {u"game.exe", u"GAME.EXE", u"Edited rule \"GAME.EXE\"."},
      {u"DEFAULT", u"default", u"Edited rule \"DEFAULT\"."},
  };
  for (const Case& c : cases) {
    SelectRow(c.row);
    dialogs.edits.push_back(Result(c.newName, ActionType::Block));
    model.EditRuleCommand();
    EXPECT_EQ(prompts.shown.back(), c.message) << Utf16ToUtf8(c.newName);
    EXPECT_EQ(dialogs.requests.back().title, u"Edit Rule \"" + c.row + u"\"");
  }
  EXPECT_EQ(Programs(),
            (std::vector<std::u16string>{u"GAME.EXE", u"other.exe", u"FULLSCREEN_PROGRAM",
                                         u"3D_PROGRAM", u"DEFAULT"}));
  EXPECT_EQ(FindRule(settings.Rules(), u"DEFAULT")->action, ActionType::Block);
  const RuleEditRequest& firstEdit = dialogs.requests[2];  // after the two adds
  EXPECT_TRUE(firstEdit.editMode);
  EXPECT_EQ(firstEdit.action, ActionType::Downclock);

  model.Select(-1);
  settings.bDisableEditorConfirmation.Set(true);
  model.EditRuleCommand();
  EXPECT_EQ(prompts.shown.back(), u"Nothing was selected") << "shown whatever the setting";
}

TEST_F(RulesEditorTest, CommandsWaitForOtherPrompts) {
  ASSERT_TRUE(guard.TryAcquire());
  model.AddRuleCommand();
  EXPECT_EQ(prompts.shown.back(), u"Please confirm any other active prompts first.");
  EXPECT_TRUE(dialogs.requests.empty());
  guard.Release();
}

TEST_F(RulesEditorTest, BulkPriorityMovesOrdinaryRulesToTheTop) {
  Add(u"game.exe", 0);
  Add(u"tool.exe", 3);
  dialogs.bulk = std::make_pair(u"0", u"5");
  model.BulkPriorityCommand();
  EXPECT_EQ(Programs(),
            (std::vector<std::u16string>{u"game.exe", u"tool.exe", u"FULLSCREEN_PROGRAM",
                                         u"3D_PROGRAM", u"DEFAULT"}));
  EXPECT_EQ(model.rows()[0].cells[4], u"5");
  EXPECT_EQ(model.rows()[4].cells[4], u"0") << "special rules keep their hints";
  EXPECT_EQ(prompts.shown.back(), u"Changed priority-hints of value \"0\" to \"5\"");

  dialogs.bulk.reset();
  model.BulkPriorityCommand();
  EXPECT_EQ(LoggedTexts(log.book()).back(), u"Bulk priority edit cancelled");

  struct Case {
    std::u16string from;
    std::u16string to;
    std::u16string errors;
  };
  const Case cases[] = {
      {u"", u"", u"\"FROM\" and \"TO\" fields must be different"},
      {u"-1", u"2", u"\"FROM\" field must be a positive integer >= 0"},
      {u"x", u"1e3",
       u"\"FROM\" field must be a positive integer >= 0\r\n\"TO\" field must be a positive "
       u"integer >= 0"},
      {u" 007", u"7\t", u"\"FROM\" and \"TO\" fields must be different"},
      {u"0", u"5", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BulkPriorityErrors(c.from, c.to), c.errors) << Utf16ToUtf8(c.from + u"/" + c.to);
  }
}

TEST_F(RulesEditorTest, ArrowKeysStopAtTheEndsAndTabAndEscapeAreSwallowed) {
  struct Case {
    int from;
    std::uint32_t key;
    int to;
  };
  const Case cases[] = {{-1, 38, 0}, {0, 37, 0}, {2, 38, 1}, {-1, 40, 0}, {1, 39, 2}, {2, 40, 2}};
  for (const Case& c : cases) {
    model.Select(c.from);
    EXPECT_TRUE(model.OnKeyDown(c.key));
    EXPECT_EQ(model.selected(), c.to) << c.from << " key " << c.key;
  }
  EXPECT_TRUE(model.OnKeyDown(9));
  EXPECT_TRUE(model.OnKeyDown(27));
  EXPECT_FALSE(model.OnKeyDown(65));
  EXPECT_TRUE(prompts.shown.empty());
}
