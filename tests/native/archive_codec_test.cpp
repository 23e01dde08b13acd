#include "config/archive_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// UTF-16LE bytes of a settings-like text.
std::string SettingsBytes(int lines) {
  std::u16string text;
  for (int i = 0; i < lines; ++i) {
    text += u"bShowSplash = true\r\nvecWhitelist = game\u00E9.exe, Z\u20AC\r\n";
  }
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

}  // namespace

TEST(ArchiveCodecTest, RoundTripIsDeterministicAndBlockAligned) {
  for (int lines : {1, 7, 500}) {
    const std::string plain = SettingsBytes(lines);
    const std::string archive = ArchiveEncode(plain);
    ASSERT_FALSE(archive.empty());
    EXPECT_EQ(archive.size() % 16, 0u);
    EXPECT_EQ(ArchiveEncode(plain), archive) << "same text, same bytes";
    EXPECT_EQ(ArchiveDecode(archive), plain);
  }
  EXPECT_EQ(ArchiveDecode(ArchiveEncode("x")), "x");
}

TEST(ArchiveCodecTest, EmptyAndDamagedInputGiveEmptyOutput) {
  const std::string archive = ArchiveEncode(SettingsBytes(3));
  std::string flippedFirst = archive;
  flippedFirst[0] = static_cast<char>(flippedFirst[0] ^ 0x01);
  std::string flippedLast = archive;
  flippedLast.back() = static_cast<char>(flippedLast.back() ^ 0x80);
  std::string flippedMiddle = archive;
  flippedMiddle[archive.size() / 2] = static_cast<char>(flippedMiddle[archive.size() / 2] ^ 0x10);

  const std::string damaged[] = {
      "",
      archive.substr(0, archive.size() - 1),   // not a multiple of 16
      archive.substr(0, archive.size() - 16),  // a block short
      flippedFirst,
      flippedMiddle,
      flippedLast,
      std::string(32, '\0'),
  };
  for (const std::string& bytes : damaged) {
    EXPECT_EQ(ArchiveDecode(bytes), "") << "length " << bytes.size();
  }
  EXPECT_EQ(ArchiveEncode(""), "");
}
