// A fresh folder under the system's temporary folder, removed afterwards.
#pragma once

#include <filesystem>
#include <string>

#include "base/text.h"

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vt_XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing separator, as UTF-16.
  std::u16string Folder() const { return Utf8ToUtf16(path_ + "/"); }
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};
