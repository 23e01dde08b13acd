#include "base/format.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "base/text.h"

TEST(FormatTest, Directives) {
  const std::u16string name = u"task.dump";
  struct Case {
    std::u16string actual;
    std::u16string expected;
  };
  const Case cases[] = {
      {Format(u"Failed to verify directory \"%s\" exists.", name),
       u"Failed to verify directory \"task.dump\" exists."},
      {Format(u"%i/%i", 2016, 331), u"2016/331"},
      {Format(u"%i %d", -7, INT64_MIN), u"-7 -9223372036854775808"},
      {Format(u"%u", 4294967295u), u"4294967295"},
      {Format(u"%u", -1), u"4294967295"},
      {Format(u"%.2f MB", 3.14159), u"3.14 MB"},
      {Format(u"%.2f", 0.005), u"0.01"},
      {Format(u"100%% of %s", u"x"), u"100% of x"},
      {Format(u"%s", 42), u"42"},
      {Format(u"%s and %s", u"one"), u"one and %s"},
      {Format(u"%x %s", u"a"), u"%x a"},
      {Format(u"trailing %"), u"trailing %"},
      {Format(u"\u00FC%s\u20AC", u"\u00DF"), u"\u00FC\u00DF\u20AC"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(c.actual), Utf16ToUtf8(c.expected));
  }
}
