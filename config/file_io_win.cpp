#include <windows.h>

#include "base/wide_win.h"
#include "config/file_io.h"

bool ReadWholeFile(std::u16string_view path, std::string& bytes) {
  HANDLE file = CreateFileW(AsWide(std::u16string(path)), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x7FFFFFFF;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes.empty() ||
         (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
          read == bytes.size());
  }
  CloseHandle(file);
  return ok;
}

bool ReplaceFileContent(std::u16string_view path, std::string_view bytes) {
  const std::u16string target(path);
  const std::u16string temporary = target + u".tmp";
  HANDLE file = CreateFileW(AsWide(temporary), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && FlushFileBuffers(file);
  CloseHandle(file);
  if (!ok || !MoveFileExW(AsWide(temporary), AsWide(target),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(AsWide(temporary));
    return false;
  }
  return true;
}
