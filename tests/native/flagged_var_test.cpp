#include "config/flagged_var.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"
#include "config/config_file.h"

namespace {

using List = std::vector<std::u16string>;

std::string U8(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

// Owns one variable so that its changes reach a Dirty flag. The variable gets
// its starting value before registration, which leaves Dirty clear.
template <typename T>
class OneVariableFile : public CBase_ConfigFile {
 public:
  explicit OneVariableFile(T initial) {
    variable.Set(std::move(initial));
    Initialize(nullptr);
  }
  void RegisterVariables() override {
    ClearRegisteredVariables();
    RegisterVariable(variable);
  }
  FlaggedVar<T> variable;
};

}  // namespace

TEST(FlaggedVarTest, BooleanFromText) {
  struct Case {
    const char16_t* text;
    bool expected;
  };
  const Case cases[] = {
      {u"true", true},   {u"TRUE", true}, {u" \tTrUe\t ", true}, {u"1", true},
      {u" 1", false},    {u"1 ", false},  {u"", false},          {u"false", false},
      {u"truex", false}, {u"yes", false}, {u"0", false},         {u"t rue", false},
  };
  for (const Case& c : cases) {
    FlaggedVar<bool> flag;
    flag.Set(!c.expected);
    flag.SetFromText(c.text);
    EXPECT_EQ(flag.Value(), c.expected) << U8(c.text);
    EXPECT_EQ(U8(flag.GetValueText()), c.expected ? "true" : "false") << U8(c.text);
  }
}

TEST(FlaggedVarTest, UnsignedFromTextIsASaturatingSignedParse) {
  struct Case {
    const char16_t* text;
    std::uint32_t value;
    const char* valueText;
  };
  const Case cases[] = {
      {u"-1", 4294967295u, "-1"},
      {u"4294967295", 2147483647u, "2147483647"},
      {u"2147483648", 2147483647u, "2147483647"},
      {u"-2147483648", 2147483648u, "-2147483648"},
      {u"-99999999999", 2147483648u, "-2147483648"},
      {u"12abc", 12u, "12"},
      {u" \t+7 ", 7u, "7"},
      {u"", 0u, "0"},
      {u"abc", 0u, "0"},
      {u"-", 0u, "0"},
      {u"0x1F", 0u, "0"},
  };
  for (const Case& c : cases) {
    FlaggedVar<std::uint32_t> number;
    number.Set(99);
    number.SetFromText(c.text);
    EXPECT_EQ(number.Value(), c.value) << U8(c.text);
    EXPECT_EQ(U8(number.GetValueText()), c.valueText) << U8(c.text);
  }

  FlaggedVar<std::uint32_t> number;
  number.Set(4294967295u);
  EXPECT_EQ(U8(number.GetValueText()), "-1");
}

TEST(FlaggedVarTest, StringLosesOuterBlanksOnly) {
  struct Case {
    const char16_t* assigned;
    const char16_t* held;
  };
  const Case cases[] = {
      {u" \t inner  blanks stay \t ", u"inner  blanks stay"},
      {u"\r\nline\r\n", u"\r\nline\r\n"},
      {u"   ", u""},
  };
  for (const Case& c : cases) {
    FlaggedVar<std::u16string> viaSet;
    viaSet.Set(c.assigned);
    EXPECT_EQ(U8(viaSet.Value()), U8(c.held));
    FlaggedVar<std::u16string> viaText;
    viaText.SetFromText(c.assigned);
    EXPECT_EQ(U8(viaText.Value()), U8(c.held));
  }
}

TEST(FlaggedVarTest, ListSplitsAtCommasAndJoinsWithCommaBlank) {
  struct Case {
    const char16_t* text;
    List elements;
    const char16_t* valueText;
  };
  const Case cases[] = {
      {u"a,b", {u"a", u"b"}, u"a, b"},
      {u" a \t,\tb c ", {u"a", u"b c"}, u"a, b c"},
      {u"a,,b", {u"a", u"b"}, u"a, b"},
      {u"a, ,b", {u"a", u"", u"b"}, u"a, , b"},
      {u",a,", {u"a"}, u"a"},
      {u",", {}, u""},
      {u"", {}, u""},
  };
  for (const Case& c : cases) {
    FlaggedVar<List> list;
    list.SetFromText(c.text);
    EXPECT_EQ(list.Value(), c.elements) << U8(c.text);
    EXPECT_EQ(U8(list.GetValueText()), U8(c.valueText)) << U8(c.text);
  }
}

TEST(FlaggedVarTest, ListAssignmentTakesTheFormOfItsText) {
  struct Case {
    List assigned;
    List held;
  };
  const Case cases[] = {
      {{u"x,y", u" z "}, {u"x", u"y", u"z"}},
      {{u"a", u"", u"b"}, {u"a", u"", u"b"}},
      {{u"", u"a", u""}, {u"a"}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    FlaggedVar<List> list;
    list.Set(c.assigned);
    EXPECT_EQ(list.Value(), c.held);
  }
}

TEST(FlaggedVarTest, OwnerTurnsDirtyOnlyWhenTheValueChanges) {
  {
    OneVariableFile<std::u16string> file(u"Abc");
    file.variable.Set(u" Abc\t");
    file.variable.SetFromText(u"Abc");
    EXPECT_FALSE(file.IsDirty());
    file.variable.Set(u"abc");
    EXPECT_TRUE(file.IsDirty());
  }
  {
    OneVariableFile<std::uint32_t> file(4294967295u);
    file.variable.SetFromText(u"-1");
    EXPECT_FALSE(file.IsDirty());
    file.variable.SetFromText(u"-2");
    EXPECT_TRUE(file.IsDirty());
  }
  {
    OneVariableFile<bool> file(true);
    file.variable.SetFromText(u" TRUE ");
    EXPECT_FALSE(file.IsDirty());
    file.variable.SetFromText(u"yes");
    EXPECT_TRUE(file.IsDirty());
  }
  {
    OneVariableFile<List> file({u"a", u"B"});
    file.variable.SetFromText(u"a ,B");
    EXPECT_FALSE(file.IsDirty());
    file.variable.SetFromText(u"a, b");
    EXPECT_TRUE(file.IsDirty());
  }
  {
    // A default assignment that changes the value counts as a change too.
    OneVariableFile<std::uint32_t> file(1);
    file.variable.SetDefault(2);
    EXPECT_TRUE(file.IsDirty());
  }
}

TEST(FlaggedVarTest, AssignedFlagFollowsSetAndSetDefault) {
  FlaggedVar<std::u16string> text;
  EXPECT_FALSE(text.IsAssigned());
  text.SetDefault(u"default");
  EXPECT_FALSE(text.IsAssigned());
  text.SetFromText(u"default");
  EXPECT_TRUE(text.IsAssigned());
  text.SetDefault(u"default");
  EXPECT_FALSE(text.IsAssigned());
}

TEST(FlaggedVarTest, ClampsOnlyWithARange) {
  FlaggedVar<std::uint32_t> number;
  EXPECT_TRUE(number.Set(4294967295u));
  EXPECT_FALSE(number.WasClamped());
  EXPECT_EQ(U8(number.GetMinText()), "0");
  EXPECT_EQ(U8(number.GetMaxText()), "0");

  number.SetRange(10, 20);
  struct Case {
    const char16_t* text;
    bool accepted;
    std::uint32_t held;
  };
  // Unsigned order: "-1" is the largest value.
  const Case cases[] = {{u"15", true, 15},
                        {u"5", false, 10},
                        {u"25", false, 20},
                        {u"-1", false, 20},
                        {u"20", true, 20}};
  for (const Case& c : cases) {
    EXPECT_EQ(number.SetFromText(c.text), c.accepted) << U8(c.text);
    EXPECT_EQ(number.WasClamped(), !c.accepted) << U8(c.text);
    EXPECT_EQ(number.Value(), c.held) << U8(c.text);
  }
  EXPECT_EQ(U8(number.GetMinText()), "10");
  EXPECT_EQ(U8(number.GetMaxText()), "20");
}

TEST(FlaggedVarTest, NumericViewsParseTheValueText) {
  struct Case {
    const char16_t* text;
    std::int32_t asInt;
    std::uint32_t asUInt;
    double asDouble;
  };
  const Case cases[] = {
      {u"42", 42, 42u, 42.0},
      {u"-5", -5, 0u, -5.0},
      {u"4294967297x", 2147483647, 1u, 4294967297.0},
      {u"99999999999999999999", 2147483647, 0xFFFFFFFFu, 1e20},
      {u"1.5e2abc", 1, 1u, 150.0},
      {u"-.25", 0, 0u, -0.25},
      {u"7e", 7, 7u, 7.0},
      {u"2E-1", 2, 2u, 0.2},
      {u"abc", 0, 0u, 0.0},
  };
  for (const Case& c : cases) {
    FlaggedVar<std::u16string> text;
    text.Set(c.text);
    EXPECT_EQ(text.AsInt(), c.asInt) << U8(c.text);
    EXPECT_EQ(text.AsUInt(), c.asUInt) << U8(c.text);
    EXPECT_DOUBLE_EQ(text.AsDouble(), c.asDouble) << U8(c.text);
    EXPECT_FLOAT_EQ(text.AsFloat(), static_cast<float>(c.asDouble)) << U8(c.text);
  }

  FlaggedVar<bool> flag;
  flag.Set(true);
  EXPECT_EQ(flag.AsInt(), 0);
  EXPECT_EQ(flag.AsDouble(), 0.0);

  FlaggedVar<std::uint32_t> number;
  number.Set(4294967295u);
  EXPECT_EQ(number.AsInt(), -1);
  EXPECT_EQ(number.AsUInt(), 0u);
}

TEST(FlaggedVarTest, ComparisonsIgnoreLetterCaseOfTheValueTexts) {
  FlaggedVar<std::u16string> lower;
  FlaggedVar<std::u16string> upper;
  FlaggedVar<std::u16string> b;
  lower.Set(u"abc");
  upper.Set(u"ABC");
  b.Set(u"B");
  EXPECT_FALSE(lower != upper);
  EXPECT_FALSE(lower.Differs(upper));
  EXPECT_TRUE(lower != b);
  EXPECT_TRUE(lower.Differs(b));
  // Folded, "abc" orders before "B" (ordinally it would not).
  EXPECT_TRUE(upper < b);
  EXPECT_TRUE(b > lower);
  EXPECT_FALSE(b < lower);

  FlaggedVar<bool> flag;
  FlaggedVar<std::u16string> text;
  flag.Set(true);
  text.Set(u"True");
  EXPECT_FALSE(flag != text);
}

TEST(FlaggedVarTest, TypeCodesAndNameLookup) {
  EXPECT_EQ(FlaggedVar<bool>().TypeCode(), 2);
  EXPECT_EQ(FlaggedVar<std::uint32_t>().TypeCode(), 3);
  EXPECT_EQ(FlaggedVar<std::u16string>().TypeCode(), 5);
  EXPECT_EQ(FlaggedVar<List>().TypeCode(), 6);
  EXPECT_EQ(FlaggedVar_internal<bool>().TypeCode(), 0);

  const List table = {u"first", u"second"};
  FlaggedVar<bool> flag;
  EXPECT_EQ(U8(flag.GetName(table)), "");
  EXPECT_EQ(U8(flag.GetComment(table)), "");
  flag.SetNameIndex(1);
  flag.SetCommentIndex(0);
  EXPECT_EQ(U8(flag.GetName(table)), "second");
  EXPECT_EQ(U8(flag.GetComment(table)), "first");
  flag.SetNameIndex(FlaggedVar_Base::kNoIndex);
  EXPECT_EQ(U8(flag.GetName(table)), "");
}
