#include "base/text.h"

#include <gtest/gtest.h>

#include <vector>

TEST(TextTest, TrimRemovesOnlyBlanksAndTabs) {
  EXPECT_EQ(TrimBlanks(u" \t a b \t"), u"a b");
  EXPECT_EQ(TrimBlanks(u"\r\nx\n"), u"\r\nx\n");
  EXPECT_EQ(TrimBlanks(u" \t "), u"");
}

TEST(TextTest, CaseFoldingTouchesAsciiLettersOnly) {
  EXPECT_EQ(ToLowerAscii(u"ABC xyz \u00C4\u0130[@"), u"abc xyz \u00C4\u0130[@");
  EXPECT_EQ(ToUpperAscii(u"abc \u00E4`{"), u"ABC \u00E4`{");
  EXPECT_TRUE(EqualsNoCase(u"Game.EXE", u"gAME.exe"));
  EXPECT_FALSE(EqualsNoCase(u"\u00C4", u"\u00E4"));
  EXPECT_FALSE(EqualsNoCase(u"abc", u"abcd"));
  EXPECT_LT(CompareNoCase(u"abc", u"ABD"), 0);
  EXPECT_GT(CompareNoCase(u"abcd", u"ABC"), 0);
  EXPECT_TRUE(StartsWithNoCase(u"C:\\Windows\\x", u"c:\\windows"));
  EXPECT_FALSE(StartsWithNoCase(u"C:", u"c:\\windows"));
}

TEST(TextTest, LineBreaksBecomeLf) {
  EXPECT_EQ(NormalizeLineBreaks(u"a\r\nb\n\rc\rd\ne"), u"a\nb\nc\nd\ne");
  EXPECT_EQ(NormalizeLineBreaks(u"\r\r\n"), u"\n\n");
  EXPECT_EQ(NormalizeLineBreaks(u"\n\r\n"), u"\n\n");
}

TEST(TextTest, SplitCases) {
  struct Case {
    std::u16string text;
    std::u16string delimiter;
    std::size_t limit;
    bool dropEmpty;
    std::vector<std::u16string> expected;
  };
  const std::vector<Case> cases = {
      {u"a,b,,c,", u",", 0, false, {u"a", u"b", u"", u"c", u""}},
      {u"a,b,,c,", u",", 0, true, {u"a", u"b", u"c"}},
      {u"a,b,c,d", u",", 2, false, {u"a", u"b,c,d"}},
      {u",,a,b", u",", 2, true, {u"a", u"b"}},
      {u"a::b:c", u"::", 0, false, {u"a", u"b:c"}},
      {u"aXbxc", u"x", 0, false, {u"aXb", u"c"}},
      {u"abc", u",", 0, false, {u"abc"}},
      {u"abc", u",", 1, false, {u"abc"}},
      {u"", u",", 0, false, {}},
      {u"abc", u"", 0, false, {}},
      {u",", u",", 0, true, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Split(c.text, c.delimiter, c.limit, c.dropEmpty), c.expected)
        << Utf16ToUtf8(c.text) << " limit " << c.limit << " drop " << c.dropEmpty;
  }
}

TEST(TextTest, Utf8RoundTripAndInvalidInput) {
  const std::u16string text = u"Gr\u00FC\u00DFe \u20AC \U0001F3AE";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\x80x"), u"\uFFFDx");
  EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(TextTest, DecimalDigitsAndTheirSaturatingValue) {
  EXPECT_TRUE(IsAllDigits(u""));
  EXPECT_TRUE(IsAllDigits(u"0070"));
  EXPECT_FALSE(IsAllDigits(u"1e3"));
  EXPECT_FALSE(IsAllDigits(u"-3"));
  EXPECT_EQ(ParseDecimal(u"007"), 7u);
  EXPECT_EQ(ParseDecimal(u"12a4"), 12u);
  EXPECT_EQ(ParseDecimal(u""), 0u);
  EXPECT_EQ(ParseDecimal(u"18446744073709551616"), UINT64_MAX);
  EXPECT_EQ(ParseDecimal(u"4294967296", UINT32_MAX), UINT32_MAX);
  EXPECT_EQ(ParseDecimal(u"121", 120), 120u);
}
