#include "config/settings_storage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/log.h"
#include "config/archive_codec.h"
#include "fakes/log_capture.h"
#include "fakes/temp_folder.h"

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// An archive holding the defaults with another blocking method.
std::string ArchiveWithBlockingMethod(std::uint32_t method) {
  CGeneralSettings_ConfigFile settings;
  settings.MarkDirtyAndReset();
  settings.BlockingMethod.Set(method);
  const std::u16string text = settings.BuildText();
  return ArchiveEncode(std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
}

class SettingsStorageTest : public ::testing::Test {
 protected:
  SettingsStorageTest() : storage(settings, lock, SettingsArchivesIn(folder.Folder())) {}

  // Holds a lock wrapper, whose destructor may throw.
  ~SettingsStorageTest() noexcept override = default;

  // The logged texts without their time stamps.
  std::vector<std::string> LogTexts() {
    std::vector<std::string> texts;
    for (const std::u16string& text : log.Texts()) {
      texts.push_back(Utf16ToUtf8(text));
    }
    return texts;
  }

  std::string Main() const { return folder.Path("Vantreloquin.arc"); }
  std::string Backup() const { return folder.Path("Vantreloquin.backup"); }
  std::string MainText() const { return Utf16ToUtf8(storage.archives().main); }
  std::string BackupText() const { return Utf16ToUtf8(storage.archives().backup); }

  TempFolder folder;
  LogCapture log;
  CGeneralSettings_ConfigFile settings;
  CriticalSection_Wrapper lock{CriticalSection_Wrapper::Form::ReaderWriter};
  SettingsStorage storage;
};

}  // namespace

TEST_F(SettingsStorageTest, GoodMainArchiveIsLoadedAndMatchingCopiesAreLeftAlone) {
  WriteBytes(Main(), ArchiveWithBlockingMethod(2));
  WriteBytes(Backup(), ArchiveWithBlockingMethod(2));
  storage.LoadSettingsAtStartup();
  EXPECT_EQ(settings.BlockingMethod.Value(), 2u);
  EXPECT_FALSE(settings.IsDirty());
  EXPECT_EQ(settings.Rules().size(), 3u) << "the rule table is decoded";
  EXPECT_EQ(LogTexts(), (std::vector<std::string>{
                            "Successfully read file \"" + MainText() + "\"",
                            "Verifying integrity of main and backup config...",
                            "Config file integrity looks-good",
                        }));
}

TEST_F(SettingsStorageTest, DamagedMainIsRewrittenFromTheBackup) {
  std::string damaged = ArchiveWithBlockingMethod(1);
  damaged[5] = static_cast<char>(damaged[5] ^ 0x40);
  WriteBytes(Main(), damaged);
  WriteBytes(Backup(), ArchiveWithBlockingMethod(3));
  storage.LoadSettingsAtStartup();
  EXPECT_EQ(settings.BlockingMethod.Value(), 3u);
  EXPECT_EQ(ReadBytes(Main()), ReadBytes(Backup()));
  EXPECT_EQ(LogTexts(), (std::vector<std::string>{
                            "Failed to open \"" + MainText() + "\", archive is damaged",
                            "Successfully read file \"" + BackupText() + "\"",
                            "Wrote config to \"" + MainText() + "\"",
                            "Verifying integrity of main and backup config...",
                            "Config file integrity looks-good",
                        }));
}

TEST_F(SettingsStorageTest, FirstRunUsesDefaultsAndWritesNothingYet) {
  storage.LoadSettingsAtStartup();
  EXPECT_EQ(settings.BlockingMethod.Value(), 0u);
  EXPECT_TRUE(settings.IsDirty()) << "the next save creates both files";
  EXPECT_FALSE(std::filesystem::exists(Main()));
  EXPECT_EQ(LogTexts().back(), "Config file integrity looks-good");

  storage.SaveSettings(false, SettingsStorage::kMainFirst);
  EXPECT_FALSE(settings.IsDirty());
  EXPECT_EQ(ReadBytes(Main()), ArchiveWithBlockingMethod(0));
  EXPECT_EQ(ReadBytes(Backup()), ReadBytes(Main()));
}

TEST_F(SettingsStorageTest, BothDamagedAreOverwrittenWithDefaults) {
  WriteBytes(Main(), std::string(32, 'x'));
  WriteBytes(Backup(), std::string(17, 'y'));
  storage.LoadSettingsAtStartup();
  EXPECT_EQ(ReadBytes(Main()), ArchiveWithBlockingMethod(0));
  EXPECT_EQ(ReadBytes(Backup()), ArchiveWithBlockingMethod(0));
  const std::vector<std::string> texts = LogTexts();
  EXPECT_EQ(texts[1], "Failed to open \"" + BackupText() + "\", archive is damaged");
  EXPECT_EQ(texts[3], "Config files don't match, repairing...");
  EXPECT_EQ(texts[4], "Wrote config to \"" + MainText() + "\"") << "main first";
}

TEST_F(SettingsStorageTest, DivergingBackupIsRepairedFromTheMainSettingsBackupFirst) {
  WriteBytes(Main(), ArchiveWithBlockingMethod(1));
  WriteBytes(Backup(), ArchiveWithBlockingMethod(2));
  storage.LoadSettingsAtStartup();
  EXPECT_EQ(settings.BlockingMethod.Value(), 1u);
  EXPECT_EQ(ReadBytes(Backup()), ArchiveWithBlockingMethod(1));
  EXPECT_EQ(ReadBytes(Main()), ReadBytes(Backup()));
  const std::vector<std::string> texts = LogTexts();
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[2], "Config files don't match, repairing...");
  EXPECT_EQ(texts[3], "Wrote config to \"" + BackupText() + "\"");
  EXPECT_EQ(texts[4], "Wrote config to \"" + MainText() + "\"");
}

TEST_F(SettingsStorageTest, FailedWritesKeepTheChangesForTheNextSave) {
  // The archive folder cannot exist: a file stands in its place.
  WriteBytes(folder.Path("blocked"), "x");
  SettingsStorage blocked(settings, lock, SettingsArchivesIn(folder.Folder() + u"blocked/"));
  settings.BlockingMethod.Set(2);
  blocked.SaveSettings(false, SettingsStorage::kMainFirst);
  EXPECT_TRUE(settings.IsDirty());
  const std::vector<std::string> texts = LogTexts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0],
            "Failed to verify directory \"" + Utf16ToUtf8(folder.Folder()) + "blocked/\" exists.");
  EXPECT_TRUE(texts[1].starts_with("ERROR: Failed to write config to \""));

  storage.SaveSettings(false, SettingsStorage::kMainFirst);
  EXPECT_FALSE(settings.IsDirty());
  EXPECT_EQ(ReadBytes(Main()), ArchiveWithBlockingMethod(2));
}
