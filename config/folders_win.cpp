#include <windows.h>

#include <shlobj.h>

#include "base/wide_win.h"
#include "config/folders.h"

#include <vector>

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

const std::u16string& WindowsFolder() {
  static const std::u16string folder = [] {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    return NormalizeFolder(FromWide(std::wstring_view(windows, length < MAX_PATH ? length : 0)));
  }();
  return folder;
}

std::u16string ProgramFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::u16string folder = FromWide(std::wstring_view(path.data(), length));
  for (char16_t& c : folder) {
    if (c == u'/') {
      c = u'\\';
    }
  }
  const std::size_t last = folder.rfind(u'\\');
  return last == std::u16string::npos ? std::u16string() : folder.substr(0, last + 1);
}

std::u16string UserTempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  return NormalizeFolder(FromWide(std::wstring_view(temp, length <= MAX_PATH ? length : 0)));
}

namespace {

std::u16string Expand(const wchar_t* text) {
  wchar_t expanded[MAX_PATH * 2] = {};
  const DWORD length = ExpandEnvironmentStringsW(text, expanded, MAX_PATH * 2);
  if (length == 0 || length > MAX_PATH * 2) {
    return FromWide(text);
  }
  return FromWide(expanded);
}

}  // namespace

bool IsInstalledUnderProgramFiles() {
  std::vector<std::u16string> candidates;
  wchar_t programFiles[MAX_PATH] = {};
  candidates.push_back(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr,
                                                  SHGFP_TYPE_CURRENT, programFiles))
                           ? FromWide(programFiles)
                           : std::u16string());
  candidates.push_back(Expand(L"%ProgramW6432%"));
  candidates.push_back(Expand(L"%PROGRAMFILES(x86)%"));
  return IsProgramFolderUnder(candidates, ProgramFolder());
}
