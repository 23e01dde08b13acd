#include "config/folders.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include "base/wide_win.h"
#include "test_support_win.h"

TEST(FoldersWinTest, EnsureFolderExistsCreatesMissingParents) {
  const std::u16string root = FromWide(MakeScratchFolder(L"folders"));
  const std::u16string nested = root + u"a\\b\\c\\";
  EXPECT_TRUE(EnsureFolderExists(nested + u"file.arc"));
  EXPECT_NE(GetFileAttributesW(AsWide(nested)), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(EnsureFolderExists(nested)) << "an existing folder counts";
}

TEST(FoldersWinTest, EnsureFolderExistsRefusesPathsWithoutFolderOrTooLong) {
  EXPECT_FALSE(EnsureFolderExists(u"file.arc"));
  EXPECT_FALSE(EnsureFolderExists(u"\\file.arc"));
  const std::u16string root = FromWide(MakeScratchFolder(L"long"));
  EXPECT_FALSE(EnsureFolderExists(root + std::u16string(260, u'x') + u"\\file.arc"));
}

TEST(FoldersWinTest, DataFolderLiesInDocuments) {
  wchar_t documents[MAX_PATH];
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, documents, CSIDL_PERSONAL, FALSE));
  EXPECT_EQ(DataFolder(), NormalizeFolder(FromWide(documents)) + u"Ostrafelmoria\\Vantreloquin\\");
}
