#include "config/settings_storage.h"

#include "app/log.h"
#include "config/file_io.h"
#include "config/folders.h"

namespace {

enum class Source { Main, Backup, None };

// A missing file counts as empty.
std::string RawBytes(const std::u16string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    bytes.clear();
  }
  return bytes;
}

}  // namespace

SettingsArchives SettingsArchivesIn(std::u16string_view folder) {
  SettingsArchives archives;
  archives.folder = std::u16string(folder);
  archives.main = archives.folder + std::u16string(kMainArchiveName);
  archives.backup = archives.folder + std::u16string(kBackupArchiveName);
  return archives;
}

SettingsStorage::SettingsStorage(CGeneralSettings_ConfigFile& settings,
                                 CriticalSection_Wrapper& settingsLock, SettingsArchives archives)
    : settings_(settings), settingsLock_(settingsLock), archives_(std::move(archives)) {}

void SettingsStorage::LoadSettingsAtStartup() {
  WriteLockGuard lock(settingsLock_);
  std::u16string message;
  Source source = Source::None;

  settings_.MarkDirtyAndReset();
  if (settings_.Load(archives_.main, message)) {
    Log(message);
    source = Source::Main;
  } else {
    Log(message);
    settings_.MarkDirtyAndReset();
    if (settings_.Load(archives_.backup, message)) {
      Log(message);
      settings_.SetPath(archives_.main);
      settings_.Save(message);
      Log(message);
      source = Source::Backup;
    } else {
      Log(message);
      settings_.MarkDirtyAndReset();
    }
  }

  settings_.SetPath(archives_.main);
  Log(u"Verifying integrity of main and backup config...");
  if (RawBytes(archives_.main) != RawBytes(archives_.backup)) {
    Log(u"Config files don't match, repairing...");
    SaveUnlocked(true, source == Source::Main ? kBackupFirst : kMainFirst);
  } else {
    Log(u"Config file integrity looks-good");
  }
  settings_.DecodeRules();
}

void SettingsStorage::SaveSettings(bool force, int mode) {
  WriteLockGuard lock(settingsLock_);
  SaveUnlocked(force, mode);
}

void SettingsStorage::SaveUnlocked(bool force, int mode) {
  if (!settings_.IsDirty() && !force) {
    return;
  }
  if (!EnsureFolderExists(archives_.folder)) {
    LogFormat(u"Failed to verify directory \"%s\" exists.", archives_.folder);
  }
  // Both copies come from memory. When either write fails the settings stay
  // dirty, so that the next save tries again.
  const bool backupFirst = mode == kBackupFirst;
  const bool firstWritten = SaveTo(backupFirst ? archives_.backup : archives_.main);
  const bool secondWritten = SaveTo(backupFirst ? archives_.main : archives_.backup);
  if (!firstWritten || !secondWritten) {
    settings_.MarkDirty();
  }
  settings_.SetPath(archives_.main);
}

bool SettingsStorage::SaveTo(const std::u16string& path) {
  std::u16string message;
  settings_.SetPath(path);
  const bool written = settings_.Save(message);
  Log(message);
  return written;
}
