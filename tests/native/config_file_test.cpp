#include "config/config_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/log.h"
#include "base/text.h"
#include "config/archive_codec.h"

namespace {

using List = std::vector<std::u16string>;
namespace fs = std::filesystem;

std::string U8(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

const std::u16string kMarker(CBase_ConfigFile::kLineBreakMarker);

ConfigSchema& TestSchema() {
  static ConfigSchema schema{{u"bFlag", u"Count", u"Name", u"Note", u"vecItems", u"Level"}, {}};
  return schema;
}

// A small schema with every value type; its registration order differs from
// the sorted order of its names. Level is the only variable with a range.
class TestSettings : public CBase_ConfigFile {
 public:
  TestSettings() {
    level.SetRange(1, 10);
    Initialize(&TestSchema());
  }

  void RegisterVariables() override {
    ClearRegisteredVariables();
    for (FlaggedVar_Base* variable : All()) {
      RegisterVariable(*variable);
    }
  }
  void AssignNames() override {
    std::uint16_t index = 0;
    for (FlaggedVar_Base* variable : All()) {
      variable->SetNameIndex(index++);
    }
  }
  void ResetToDefaults() override {
    flag.SetDefault(true);
    count.SetDefault(7);
    name.SetDefault(u"abc");
    note.SetDefault(u"");
    items.SetDefault({});
    level.SetDefault(5);
  }

  std::vector<FlaggedVar_Base*> All() { return {&flag, &count, &name, &note, &items, &level}; }

  FlaggedVar<bool> flag;
  FlaggedVar<std::uint32_t> count;
  FlaggedVar<std::u16string> name;
  FlaggedVar<std::u16string> note;
  FlaggedVar<List> items;
  FlaggedVar<std::uint32_t> level;
};

class NoVariables : public CBase_ConfigFile {
 public:
  NoVariables() { Initialize(nullptr); }
};

std::string Utf16Le(std::u16string_view text) {
  std::string bytes;
  for (const char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

std::u16string FromUtf16Le(const std::string& bytes) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return text;
}

class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "config_file_test_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    SetProcessLog(&log_);
  }
  void TearDown() override {
    SetProcessLog(nullptr);
    fs::remove_all(folder_);
  }

  std::u16string PathOf(const char* name) const { return Utf8ToUtf16((folder_ / name).string()); }

  static void WriteBytes(const std::u16string& path, const std::string& bytes) {
    std::ofstream(Utf16ToUtf8(path), std::ios::binary) << bytes;
  }
  static std::string ReadBytes(const std::u16string& path) {
    std::ifstream file(Utf16ToUtf8(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  static std::u16string ArchivedText(const std::u16string& path) {
    return FromUtf16Le(ArchiveDecode(ReadBytes(path)));
  }

  // Loads a settings text from a fresh archive into the settings.
  bool LoadText(TestSettings& settings, std::u16string_view text) {
    const std::u16string path = PathOf("Settings.arc");
    WriteBytes(path, ArchiveEncode(Utf16Le(text)));
    std::u16string message;
    return settings.Load(path, message);
  }

  std::vector<std::u16string> LogLines() {
    log_.FlushPendingLog();
    return {log_.Committed().begin(), log_.Committed().end()};
  }

  fs::path folder_;
  LogBook log_;
};

}  // namespace

TEST_F(ConfigFileTest, SaveWritesOneLinePerVariableAndLoadReadsItBack) {
  TestSettings saved;
  saved.ResetToDefaults();
  saved.flag.Set(false);
  saved.count.Set(4294967295u);
  saved.name.Set(u"first\r\nsecond\rthird");
  saved.items.Set({u"x", u"y z"});
  saved.SetPath(PathOf("Settings.arc"));
  std::u16string message;
  ASSERT_TRUE(saved.Save(message));
  EXPECT_EQ(U8(message), "Wrote config to \"" + U8(PathOf("Settings.arc")) + "\"");
  EXPECT_FALSE(saved.IsDirty());
  EXPECT_EQ(U8(ArchivedText(PathOf("Settings.arc"))), U8(u"bFlag = false\r\n"
                                                         u"Count = -1\r\n"
                                                         u"Name = first" +
                                                         kMarker + u"second" + kMarker +
                                                         u"third\r\n"
                                                         u"Note = \r\n"
                                                         u"vecItems = x, y z\r\n"
                                                         u"Level = 5\r\n"));

  TestSettings loaded;
  loaded.count.Set(1);
  ASSERT_TRUE(loaded.Load(PathOf("Settings.arc"), message));
  EXPECT_EQ(U8(message), "Successfully read file \"" + U8(PathOf("Settings.arc")) + "\"");
  EXPECT_FALSE(loaded.IsDirty());
  EXPECT_FALSE(loaded.flag.Value());
  EXPECT_EQ(loaded.count.Value(), 4294967295u);
  EXPECT_EQ(U8(loaded.name.Value()), "first\r\nsecond\r\nthird");
  EXPECT_EQ(U8(loaded.note.Value()), "");
  EXPECT_EQ(loaded.items.Value(), (List{u"x", u"y z"}));
  EXPECT_TRUE(LogLines().empty());
}

TEST_F(ConfigFileTest, LineParsing) {
  struct Case {
    std::u16string text;
    std::uint32_t count;
    std::u16string name;
  };
  const Case cases[] = {
      // Missing keys keep their defaults.
      {u"Name=xyz", 7, u"xyz"},
      {u" \tName \t=  \t xyz \t\r\nCount\t=\t3", 3, u"xyz"},
      {u"Name = a = b=c", 7, u"a = b=c"},
      {u"Name =", 7, u""},
      {u"Name = first\r\nName = second\r\n", 7, u"second"},
      {u"name = lower\r\nNAME = upper\r\nNames = x\r\nBogus = 1", 7, u"abc"},
      {u"Name = x\rCount = 4\n\rBogus\n", 4, u"x"},
      {u"Count = 12abc", 12, u"abc"},
      // The marker stands for a line break; the lines come back trimmed,
      // joined by CR LF, and without a break at the end.
      {u"Name = one " + kMarker + u"  two ", 7, u"one\r\ntwo"},
      {u"Name = one" + kMarker + kMarker, 7, u"one"},
      {u"Name = a" + kMarker + kMarker + u"b", 7, u"a\r\n\r\nb"},
      {u"Name = " + kMarker + u"b", 7, u"\r\nb"},
  };
  for (const Case& c : cases) {
    TestSettings settings;
    EXPECT_TRUE(LoadText(settings, c.text)) << U8(c.text);
    EXPECT_EQ(settings.count.Value(), c.count) << U8(c.text);
    EXPECT_EQ(U8(settings.name.Value()), U8(c.name)) << U8(c.text);
    EXPECT_TRUE(settings.flag.Value()) << U8(c.text);
    EXPECT_FALSE(settings.IsDirty()) << U8(c.text);
  }
}

TEST_F(ConfigFileTest, SkippedLinesAreLoggedAndTheLoadStillSucceeds) {
  TestSettings settings;
  EXPECT_TRUE(LoadText(settings,
                       u"Name = x\r\n"
                       u" = orphan\r\n"
                       u"no assignment here\r\n"
                       u"\r\n"
                       u"Level = 50\r\n"
                       u"Count = 3\r\n"));
  EXPECT_EQ(U8(settings.name.Value()), "x");
  EXPECT_EQ(settings.count.Value(), 3u);
  EXPECT_EQ(settings.level.Value(), 10u);

  const std::vector<std::u16string> lines = LogLines();
  const char* expected[] = {
      "line 1: ERROR: Field name cannot be NULL",
      "line 2: ERROR: Expected field name and assignment surrounding '=' operator",
      "line 3: ERROR: Expected field name and assignment surrounding '=' operator",
      "line 4: WARNING: Variable assignment was clamped. Valid range is \"1\" to \"10\"",
  };
  ASSERT_EQ(lines.size(), std::size(expected));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string line = U8(lines[i]);
    EXPECT_TRUE(line.ends_with(std::string(" >> ") + expected[i])) << line;
  }
}

TEST_F(ConfigFileTest, UnreadableFilesFailWithDefaultsInForce) {
  const std::u16string path = PathOf("Settings.arc");
  struct Case {
    const char* what;
    bool create;
    std::string bytes;
    std::string message;
  };
  const Case cases[] = {
      {"missing file", false, "", "Failed to open \"" + U8(path) + "\""},
      {"zero bytes", true, "", "Failed to open \"" + U8(path) + "\", archive is damaged"},
      {"garbage", true, std::string(64, '\x5A'),
       "Failed to open \"" + U8(path) + "\", archive is damaged"},
      {"odd length text", true, ArchiveEncode("abc"),
       "Failed to open \"" + U8(path) + "\", archive is damaged"},
  };
  for (const Case& c : cases) {
    fs::remove(Utf16ToUtf8(path));
    if (c.create) {
      WriteBytes(path, c.bytes);
    }
    TestSettings settings;
    settings.name.Set(u"changed");
    std::u16string message = u"stale";
    EXPECT_FALSE(settings.Load(path, message)) << c.what;
    EXPECT_EQ(U8(message), c.message) << c.what;
    EXPECT_TRUE(settings.IsDirty()) << c.what;
    EXPECT_EQ(U8(settings.name.Value()), "abc") << c.what;
    EXPECT_EQ(U8(settings.GetPath()), U8(path)) << c.what;
  }
}

TEST_F(ConfigFileTest, FindVariableMatchesWholeNamesExactly) {
  TestSettings settings;
  const std::vector<FlaggedVar_Base*> all = settings.All();
  const List& names = TestSchema().keyNames;
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(settings.FindVariable(names[i]), all[i]) << U8(names[i]);
  }
  for (const char16_t* miss :
       {u"", u"count", u"COUNT", u"Coun", u"Counts", u"A", u"zzz", u" Name"}) {
    EXPECT_EQ(settings.FindVariable(miss), nullptr) << U8(miss);
  }
  EXPECT_EQ(NoVariables().FindVariable(u"Name"), nullptr);

  // Uppercase sorts before lowercase; the cache maps sorted to registered.
  EXPECT_EQ(TestSchema().orderCache, (std::vector<std::uint32_t>{1, 5, 2, 3, 0, 4}));
  TestSettings second;
  EXPECT_EQ(second.FindVariable(u"vecItems"), &second.items);
  EXPECT_EQ(second.FindVariable(u"Count")->Owner(), &second);
}

TEST_F(ConfigFileTest, DirtyFlagLifecycle) {
  TestSettings settings;
  EXPECT_FALSE(settings.IsDirty());
  settings.name.Set(u"changed");
  settings.MarkDirtyAndReset();
  EXPECT_TRUE(settings.IsDirty());
  EXPECT_EQ(U8(settings.name.Value()), "abc");

  std::u16string message;
  settings.SetPath(PathOf("Settings.arc"));
  ASSERT_TRUE(settings.Save(message));
  EXPECT_FALSE(settings.IsDirty());
  // Saving an unchanged object still writes the file.
  fs::remove(folder_ / "Settings.arc");
  ASSERT_TRUE(settings.Save(message));
  EXPECT_TRUE(fs::exists(folder_ / "Settings.arc"));
}

TEST_F(ConfigFileTest, FailedWriteKeepsDirtySoTheNextSaveRetries) {
  TestSettings settings;
  settings.ResetToDefaults();
  const std::u16string unreachable = PathOf("missing-folder/Settings.arc");
  settings.SetPath(unreachable);
  std::u16string message;
  EXPECT_FALSE(settings.Save(message));
  EXPECT_EQ(U8(message), "ERROR: Failed to write config to \"" + U8(unreachable) + "\"");
  EXPECT_TRUE(settings.IsDirty());

  settings.SetPath(PathOf("Settings.arc"));
  EXPECT_TRUE(settings.Save(message));
  EXPECT_FALSE(settings.IsDirty());
}

TEST_F(ConfigFileTest, EncodingFailureLeavesTheOldFile) {
  // Nothing registered gives an empty text, which the codec refuses.
  const std::u16string path = PathOf("Settings.arc");
  WriteBytes(path, "previous archive");
  NoVariables empty;
  empty.SetPath(path);
  std::u16string message;
  EXPECT_FALSE(empty.Save(message));
  EXPECT_EQ(U8(message), "ERROR: Failed to write config to \"" + U8(path) + "\"");
  EXPECT_TRUE(empty.IsDirty());
  EXPECT_EQ(ReadBytes(path), "previous archive");
}

TEST_F(ConfigFileTest, SaveReplacesTheFileInsteadOfRewritingIt) {
  const std::u16string path = PathOf("Settings.arc");
  WriteBytes(path, "previous archive");
  // A reader of the old file keeps seeing the old content: the new archive
  // arrives as a whole new file.
  std::ifstream reader(Utf16ToUtf8(path), std::ios::binary);

  TestSettings settings;
  settings.ResetToDefaults();
  settings.SetPath(path);
  std::u16string message;
  ASSERT_TRUE(settings.Save(message));

  const std::string old{std::istreambuf_iterator<char>(reader), std::istreambuf_iterator<char>()};
  EXPECT_EQ(old, "previous archive");
  EXPECT_EQ(U8(ArchivedText(path)), U8(settings.BuildText()));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}
