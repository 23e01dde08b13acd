#include <filesystem>
#include <system_error>

#include "base/text.h"
#include "config/folders.h"

bool EnsureFolderExists(std::u16string_view path) {
  const std::u16string folder = FolderPartOf(path);
  if (folder.empty() || folder.size() > 259) {
    return false;
  }
  std::error_code error;
  const std::filesystem::path target(Utf16ToUtf8(folder));
  std::filesystem::create_directories(target, error);
  return std::filesystem::is_directory(target, error);
}
