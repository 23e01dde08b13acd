// The file work of the logon task: its folder, the batch files and the
// query output. Paths are Windows paths in the Windows build and POSIX
// paths natively.
#pragma once

#include <string>
#include <string_view>

class TaskFiles {
 public:
  virtual ~TaskFiles() = default;

  // Creates the folder (ending with a separator) with its missing parents;
  // true when it exists afterwards.
  virtual bool MakeFolder(std::u16string_view folder) = 0;
  // Replaces the file's content with the bytes; false when it could not.
  virtual bool Write(std::u16string_view path, std::string_view bytes) = 0;
  // Every byte of the file; false when it cannot be opened or read.
  virtual bool Read(std::u16string_view path, std::string& bytes) = 0;
  virtual bool Exists(std::u16string_view path) = 0;
  // Deletes the file if it can; callers check Exists afterwards.
  virtual void Remove(std::u16string_view path) = 0;
};

// The real files, through the configuration's whole-file helpers.
class DiskTaskFiles : public TaskFiles {
 public:
  bool MakeFolder(std::u16string_view folder) override;
  bool Write(std::u16string_view path, std::string_view bytes) override;
  bool Read(std::u16string_view path, std::string& bytes) override;
  bool Exists(std::u16string_view path) override;
  void Remove(std::u16string_view path) override;
};
