#include <windows.h>

#include <shlobj.h>

#include "base/wide_win.h"
#include "config/folders.h"

namespace {

constexpr std::size_t kMaxFolderLength = 259;

bool CreateFolderWithParents(const std::u16string& folder) {
  if (folder.empty() || folder.size() > kMaxFolderLength) {
    return false;
  }
  if (CreateDirectoryW(AsWide(folder), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
    return true;
  }
  if (GetLastError() != ERROR_PATH_NOT_FOUND) {
    return false;
  }
  const std::u16string parent = FolderPartOf(folder);
  if (parent.empty() || !CreateFolderWithParents(parent)) {
    return false;
  }
  return CreateDirectoryW(AsWide(folder), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

bool EnsureFolderExists(std::u16string_view path) {
  return CreateFolderWithParents(FolderPartOf(path));
}

const std::u16string& DataFolder() {
  static const std::u16string folder = [] {
    wchar_t documents[MAX_PATH] = {};
    std::u16string base;
    if (SHGetSpecialFolderPathW(nullptr, documents, CSIDL_PERSONAL, FALSE)) {
      base = NormalizeFolder(FromWide(documents));
    }
    return base + u"Ostrafelmoria\\Vantreloquin\\";
  }();
  return folder;
}
