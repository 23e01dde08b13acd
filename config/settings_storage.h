// Where the settings live on disk and how they get there: a main archive and
// a backup archive, checked against each other and repaired at start, and
// both written from memory whenever the settings changed.
#pragma once

#include <string>
#include <string_view>

#include "app/critical_section_wrapper.h"
#include "config/general_settings.h"

struct SettingsArchives {
  std::u16string folder;  // ends with its separator
  std::u16string main;
  std::u16string backup;
};

// The two archives in the folder.
SettingsArchives SettingsArchivesIn(std::u16string_view folder);

class SettingsStorage {
 public:
  // The order of the two writes: main archive first, or backup first (used
  // only when the main archive was read successfully at start).
  static constexpr int kMainFirst = 1;
  static constexpr int kBackupFirst = 2;

  SettingsStorage(CGeneralSettings_ConfigFile& settings, CriticalSection_Wrapper& settingsLock,
                  SettingsArchives archives);

  // Loads the main archive, else the backup (rewriting the main archive from
  // it), else the defaults; then makes both files equal when they differ and
  // rebuilds the rule table. Every step is logged.
  void LoadSettingsAtStartup();

  // Writes both archives when the settings changed, or always with force.
  void SaveSettings(bool force, int mode);

  const SettingsArchives& archives() const { return archives_; }

 private:
  void SaveUnlocked(bool force, int mode);
  bool SaveTo(const std::u16string& path);

  CGeneralSettings_ConfigFile& settings_;
  CriticalSection_Wrapper& settingsLock_;
  SettingsArchives archives_;
};
