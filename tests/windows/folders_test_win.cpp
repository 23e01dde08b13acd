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

TEST(FoldersWinTest, SystemAndProgramFolders) {
  wchar_t windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(WindowsFolder(), NormalizeFolder(FromWide(std::wstring_view(windows, length))));
  EXPECT_EQ(ProgramFolder(), FromWide(ExecutableFolder()));
  EXPECT_TRUE(UserTempFolder().ends_with(u"\\"));
  EXPECT_EQ(UserTempFolder().find(u'/'), std::u16string::npos);
  EXPECT_FALSE(IsInstalledUnderProgramFiles()) << "tests run from the build folder";
}
