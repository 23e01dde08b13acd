#include "config/folders.h"

#include <gtest/gtest.h>

TEST(FoldersTest, NormalizeFolderEndsWithOneBackslash) {
  EXPECT_EQ(NormalizeFolder(u"C:/Users/me/Documents"), u"C:\\Users\\me\\Documents\\");
  EXPECT_EQ(NormalizeFolder(u"C:\\Windows\\"), u"C:\\Windows\\");
  EXPECT_EQ(NormalizeFolder(u""), u"");
}

TEST(FoldersTest, FolderPartIsEverythingBeforeTheLastSeparator) {
  EXPECT_EQ(FolderPartOf(u"/a/b/Vantreloquin.arc"), u"/a/b");
  EXPECT_EQ(FolderPartOf(u"/a/b/"), u"/a/b");
  EXPECT_EQ(FolderPartOf(u"name.txt"), u"");
}

TEST(FoldersTest, ProgramFolderUnderProgramFilesIgnoringCase) {
  const std::vector<std::u16string> candidates = {u"", u" C:/Program Files\t",
                                                  u"%PROGRAMFILES(x86)%"};
  struct Case {
    const char16_t* programFolder;
    bool expected;
  };
  const Case cases[] = {
      {u"C:\\Program Files\\Vantreloquin\\", true},
      {u"c:\\PROGRAM FILES\\vantreloquin\\", true},
      {u"C:\\Program Files\\Vantreloquin\\bin\\", false},
      {u"C:\\Program Files\\Other\\", false},
      {u"D:\\Games\\Vantreloquin\\", false},
      {u"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsProgramFolderUnder(candidates, c.programFolder), c.expected);
  }
}
