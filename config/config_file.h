// The configuration file object: the registry of one schema's setting
// variables, lookup by key name, change tracking, and the settings text (one
// "key = value" line per variable) carried inside the encrypted archive.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/flagged_var.h"

// Process-wide record of a schema, shared by every object of one derived
// class: the key names by name index, and the sorted order of the registered
// variables, computed by the first Initialize.
struct ConfigSchema {
  std::vector<std::u16string> keyNames;
  std::vector<std::uint32_t> orderCache;
};

class CBase_ConfigFile {
 public:
  // Stands for a line break inside a value in the settings text.
  static constexpr std::u16string_view kLineBreakMarker =
      u"<<<<<<<<<NNNNNNNNNNLLLLLLLLLLRRRRRRRRRR>>>>>>>>>";

  CBase_ConfigFile() = default;
  CBase_ConfigFile(const CBase_ConfigFile&) = delete;
  CBase_ConfigFile& operator=(const CBase_ConfigFile&) = delete;
  // The variables belong to the derived class.
  virtual ~CBase_ConfigFile() = default;

  // Called once by the derived constructor, after its variables exist:
  // registers and names them and builds the lookup order (sorting only when
  // the schema's order cache does not fit yet). Not thread-safe with respect
  // to other objects of the same schema being initialised.
  virtual void Initialize(ConfigSchema* schema);
  // The derived class clears the registered list and registers each of its
  // variables in its fixed order (the order of the lines in the text).
  virtual void RegisterVariables() {}
  // The derived class gives every variable its default with SetDefault.
  virtual void ResetToDefaults() {}
  // The derived class calls SetNameIndex on each variable.
  virtual void AssignNames() {}

  // Exact, case-sensitive lookup by key name; null when there is none.
  FlaggedVar_Base* FindVariable(std::u16string_view name) const;

  // Resets to defaults, then reads the archive at the path. Lines that do not
  // parse are skipped (each logged); unknown keys are ignored. Dirty ends up
  // as the opposite of the result. The message is the status text.
  bool Load(std::u16string_view path, std::u16string& message);
  // Writes the archive to the current path, replacing the file as a whole;
  // an existing file is left untouched on failure. Clears Dirty on success
  // and sets it on failure, so that the next save tries again.
  bool Save(std::u16string& message);

  void SetPath(std::u16string_view path) { path_.assign(path); }
  const std::u16string& GetPath() const { return path_; }
  bool IsDirty() const { return (flags_ & kDirty) != 0; }
  void MarkDirty() { flags_ |= kDirty; }
  // Sets Dirty, then ResetToDefaults.
  void MarkDirtyAndReset();

  // The settings text of the current values, as stored inside the archive.
  std::u16string BuildText() const;

  const std::vector<std::u16string>& KeyNames() const;
  const std::vector<FlaggedVar_Base*>& RegisteredVariables() const { return registered_; }

 protected:
  // Makes this object the variable's owner and appends it to the line order.
  void RegisterVariable(FlaggedVar_Base& variable);
  void ClearRegisteredVariables() { registered_.clear(); }

 private:
  static constexpr std::uint8_t kDirty = 0x01;

  void SetDirty(bool dirty);
  // Assigns the variables from a settings text; logs each skipped line.
  void ApplyText(std::u16string_view text);

  ConfigSchema* schema_ = nullptr;
  std::u16string path_;
  std::uint8_t flags_ = 0;
  std::vector<FlaggedVar_Base*> registered_;
  std::vector<FlaggedVar_Base*> sorted_;
};
