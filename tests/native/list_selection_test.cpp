#include "settings_ui/list_selection.h"

#include <gtest/gtest.h>

TEST(ListSelectionTest, ItemsAreTrimmedWithoutEmptiesOrUnwantedDuplicates) {
  ListSelection picker;
  for (const char16_t* text : {u"  steam.exe\t", u"", u" \t ", u"STEAM.EXE", u"game.exe"}) {
    picker.AddItem(text);
  }
  picker.AddItem(u"Game.exe", true);
  EXPECT_EQ(picker.items(), (std::vector<std::u16string>{u"steam.exe", u"game.exe", u"Game.exe"}));
}

TEST(ListSelectionTest, UpAndDownStayInsideTheList) {
  struct Case {
    int current;
    int count;
    int above;
    int below;
  };
  const Case cases[] = {
      {-1, 5, 0, 1},  // no selection: Up the first line, Down the second
      {-1, 1, 0, 0}, {0, 5, 0, 1}, {4, 5, 3, 4}, {2, 5, 1, 3}, {0, 0, -1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ListSelection::LineAbove(c.current, c.count), c.above) << c.current << "/" << c.count;
    EXPECT_EQ(ListSelection::LineBelow(c.current, c.count), c.below) << c.current << "/" << c.count;
  }
}

TEST(ListSelectionTest, ChoosingNeedsASelectedNonEmptyLineUnlessTheListIsEmpty) {
  EXPECT_EQ(ListSelection::Choose(3, 1, u"steam.exe"), std::optional<std::u16string>(u"steam.exe"));
  EXPECT_EQ(ListSelection::Choose(3, -1, u""), std::nullopt);
  EXPECT_EQ(ListSelection::Choose(1, 0, u""), std::nullopt) << "the blank line of an empty list";
  EXPECT_EQ(ListSelection::Choose(0, -1, u""), std::optional<std::u16string>(u""));
}
