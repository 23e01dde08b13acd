#include "config/folders.h"

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
  const std::size_t last = path.rfind(u'\\');
  if (last == std::u16string_view::npos) {
    return {};
  }
  return std::u16string(path.substr(0, last));
}
