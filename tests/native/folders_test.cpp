#include "config/folders.h"

#include <gtest/gtest.h>

TEST(FoldersTest, NormalizeFolderEndsWithOneBackslash) {
  EXPECT_EQ(NormalizeFolder(u"C:/Users/me/Documents"), u"C:\\Users\\me\\Documents\\");
  EXPECT_EQ(NormalizeFolder(u"C:\\Windows\\"), u"C:\\Windows\\");
  EXPECT_EQ(NormalizeFolder(u""), u"");
}

TEST(FoldersTest, FolderPartIsEverythingBeforeTheLastBackslash) {
  EXPECT_EQ(FolderPartOf(u"C:\\a\\b\\Vantreloquin.arc"), u"C:\\a\\b");
  EXPECT_EQ(FolderPartOf(u"C:\\a\\b\\"), u"C:\\a\\b");
  EXPECT_EQ(FolderPartOf(u"name.txt"), u"");
}
