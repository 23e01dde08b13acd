#include "base/wipe.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/crt_random.h"

TEST(WipeTest, GeneratorFollowsTheRuntimeSequence) {
  SeedCrtRandom(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int value : expected) {
    EXPECT_EQ(NextCrtRandom(), value);
  }
}

TEST(WipeTest, GeneratorStateIsPerThread) {
  SeedCrtRandom(1);
  NextCrtRandom();
  int first = 0;
  std::thread([&first] { first = NextCrtRandom(); }).join();
  EXPECT_EQ(first, 41);
}

TEST(WipeTest, CharactersBecomeSignExtendedLowBytes) {
  SeedCrtRandom(1);
  char16_t chars[] = {u'a', u'b', u'c'};
  ScrambleChars(chars, 3);
  // 41 -> 0x29, 18467 -> 0x23, 6334 -> 0xBE, which is negative as a byte.
  EXPECT_EQ(chars[0], u'\x29');
  EXPECT_EQ(chars[1], u'\x23');
  EXPECT_EQ(chars[2], u'\xFFBE');
}

TEST(WipeTest, WipeEmptiesTheText) {
  std::u16string shown = u"The program was started with SHIFT depressed.";
  Wipe(shown);
  EXPECT_TRUE(shown.empty());
}
