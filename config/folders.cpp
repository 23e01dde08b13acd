#include "config/folders.h"

#include "base/text.h"

namespace {

#ifdef _WIN32
constexpr char16_t kSeparator = u'\\';
#else
constexpr char16_t kSeparator = u'/';
#endif

}  // namespace

std::u16string NormalizeFolder(std::u16string_view text) {
  std::u16string folder(text);
  if (folder.empty()) {
    return folder;
  }
  for (char16_t& c : folder) {
    if (c == u'/') {
      c = u'\\';
    }
  }
  if (folder.back() != u'\\') {
    folder += u'\\';
  }
  return folder;
}

std::u16string FolderPartOf(std::u16string_view path) {
  const std::size_t last = path.rfind(kSeparator);
  if (last == std::u16string_view::npos) {
    return {};
  }
  return std::u16string(path.substr(0, last));
}

bool IsProgramFolderUnder(const std::vector<std::u16string>& candidates,
                          std::u16string_view programFolder) {
  if (programFolder.empty()) {
    return false;
  }
  for (const std::u16string& candidate : candidates) {
    const std::u16string folder = NormalizeFolder(TrimBlanks(candidate));
    if (!folder.empty() && EqualsNoCase(folder + u"Vantreloquin\\", programFolder)) {
      return true;
    }
  }
  return false;
}
