// The logon task's files in memory.
#pragma once

#include <map>
#include <string>

#include "startup_task/task_files.h"

class MemoryTaskFiles : public TaskFiles {
 public:
  bool MakeFolder(std::u16string_view) override { return true; }
  bool Write(std::u16string_view path, std::string_view bytes) override {
    files[std::u16string(path)] = std::string(bytes);
    return true;
  }
  bool Read(std::u16string_view path, std::string& bytes) override {
    const auto found = files.find(std::u16string(path));
    if (found == files.end()) {
      return false;
    }
    bytes = found->second;
    return true;
  }
  bool Exists(std::u16string_view path) override { return files.contains(std::u16string(path)); }
  void Remove(std::u16string_view path) override { files.erase(std::u16string(path)); }

  std::map<std::u16string, std::string> files;
};
