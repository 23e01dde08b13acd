#include <cstdio>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "base/text.h"
#include "config/file_io.h"

bool ReadWholeFile(std::u16string_view path, std::string& bytes) {
  std::ifstream file(Utf16ToUtf8(path), std::ios::binary);
  if (!file) {
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

bool ReplaceFileContent(std::u16string_view path, std::string_view bytes) {
  const std::string target = Utf16ToUtf8(path);
  const std::string temporary = target + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) {
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                       std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
