#include <gtest/gtest.h>

#include "test_support_win.h"

TEST(LoaderTest, StartsTheProgramBesideItWithTheLogonSwitchAndEnds) {
  // A folder with a blank in its name, holding the loader and a stand-in for
  // the program that records how it was started.
  const std::wstring folder = MakeScratchFolder(L"loader") + L"Program Files\\";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  ASSERT_TRUE(CopyFileW((ExecutableFolder() + L"Loader_x64.exe").c_str(),
                        (folder + L"Loader_x64.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((ExecutableFolder() + L"args_probe.exe").c_str(),
                        (folder + L"Vantreloquin.exe").c_str(), FALSE));

  ChildProcess loader(L"\"" + folder + L"Loader_x64.exe\"");
  ASSERT_TRUE(loader.started());
  EXPECT_EQ(loader.WaitForExit(30000), std::optional<DWORD>(0));
  std::string bytes;
  ASSERT_TRUE(WaitUntil(
      [&] {
        bytes = ReadWholeFile(folder + L"args.txt");
        return !bytes.empty();
      },
      30000));
  const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
  EXPECT_EQ(text, L"\"" + folder + L"Vantreloquin.exe\" startup_launched\n" +
                      folder.substr(0, folder.size() - 1) + L"\n");
}
