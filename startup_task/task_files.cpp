#include "startup_task/task_files.h"

#include <filesystem>
#include <system_error>

#include "base/text.h"
#include "config/file_io.h"
#include "config/folders.h"

namespace {

std::filesystem::path ToPath(std::u16string_view path) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(path.begin(), path.end()));
#else
  return std::filesystem::path(Utf16ToUtf8(path));
#endif
}

}  // namespace

bool DiskTaskFiles::MakeFolder(std::u16string_view folder) {
  return EnsureFolderExists(folder);
}

bool DiskTaskFiles::Write(std::u16string_view path, std::string_view bytes) {
  return ReplaceFileContent(path, bytes);
}

bool DiskTaskFiles::Read(std::u16string_view path, std::string& bytes) {
  return ReadWholeFile(path, bytes);
}

bool DiskTaskFiles::Exists(std::u16string_view path) {
  std::error_code error;
  return std::filesystem::exists(ToPath(path), error);
}

void DiskTaskFiles::Remove(std::u16string_view path) {
  std::error_code ignored;
  std::filesystem::remove(ToPath(path), ignored);
}
