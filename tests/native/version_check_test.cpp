#include "update/version_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_http.h"
#include "fakes/log_capture.h"
#include "update/update_addresses.h"

using ::testing::ElementsAre;

namespace {

TEST(VersionFileTest, ParsesKeysValuesAndLineEnds) {
  struct Case {
    const char* name;
    std::u16string text;
    std::optional<std::u16string> version;
    std::optional<std::u16string> date;
    std::optional<std::u16string> download;
  };
  const Case cases[] = {
      {"blanks and any key case", u"VERSION = 1.2-6.5\t\r\ndate=\r\nDownload=\thttp://h/s.exe ",
       u"1.2-6.5", u"", u"http://h/s.exe"},
      {"value keeps further equals signs", u"download=http://h/get?id=5&x=y\nversion=2\ndate=d",
       u"2", u"d", u"http://h/get?id=5&x=y"},
      {"LF CR and empty lines", u"version=2\n\r\n\rdate=d\n\nnoise\ndownload=u", u"2", u"d", u"u"},
      {"later key wins", u"version=1\nversion=2\ndate=d\ndownload=u", u"2", u"d", u"u"},
      {"bare CR runs lines together", u"version=2\rdate=d\rdownload=u", u"2date=ddownload=u",
       std::nullopt, std::nullopt},
      {"unknown keys only", u"<html><body>404</body></html>", std::nullopt, std::nullopt,
       std::nullopt},
  };
  for (const Case& c : cases) {
    const VersionInfo info = ParseVersionFile(c.text);
    EXPECT_EQ(info.version, c.version) << c.name;
    EXPECT_EQ(info.date, c.date) << c.name;
    EXPECT_EQ(info.download, c.download) << c.name;
  }
}

TEST(VersionFileTest, UsableNeedsAllKeysAndNonEmptyVersionAndDownload) {
  EXPECT_TRUE(ParseVersionFile(u"version=2\ndate=\ndownload=u").IsUsable());
  EXPECT_FALSE(ParseVersionFile(u"version=2\ndownload=u").IsUsable());
  EXPECT_FALSE(ParseVersionFile(u"version=\ndate=d\ndownload=u").IsUsable());
  EXPECT_FALSE(ParseVersionFile(u"version=2\ndate=d\ndownload= ").IsUsable());
}

TEST(VersionFileTest, AddressIsBuiltFromTheServer) {
  EXPECT_EQ(VersionFileUrl(u"http://127.0.0.1:8080"),
            u"http://127.0.0.1:8080/Vantreloquin/CurrentVersion.txt");
  EXPECT_EQ(VersionFileUrl(),
            u"http://" + std::u16string(kUpdateServerHost) + u"/Vantreloquin/CurrentVersion.txt");
}

constexpr char16_t kMismatch[] =
    u"Your installed version of Vantreloquin does not match the latest version.\r\n"
    u"Version \"%s\" is available for download now.";
constexpr char16_t kManualHint[] =
    u"\r\n\r\nThe \"Software Update\" feature relies on the installer...\r\n"
    u"Because this copy was not installed, you will need to update manually.";

TEST(CheckVersionOnStartupTest, LogsAndLeavesANoticeOnlyWhenVersionsDiffer) {
  struct Case {
    const char* name;
    std::optional<std::string> file;  // nullopt: the server cannot be reached
    bool installed;
    std::vector<std::u16string> logged;
    std::u16string notice;
  };
  const std::string tail = "\r\ndate=2016-11-27\r\ndownload=http://h/Setup.exe\r\n";
  const std::u16string newer = Format(kMismatch, u"1.2-6.6");
  const std::u16string older = Format(kMismatch, u"1.2-6.4");
  const Case cases[] = {
      {"same version, trailing tab",
       "Version = 1.2-6.5\t" + tail,
       true,
       {u"Your version of Vantreloquin is up to date."},
       u""},
      {"newer, installed copy",
       "version=1.2-6.6" + tail,
       true,
       {u"Your installed version of Vantreloquin does not match the latest version.",
        u"Version \"1.2-6.6\" is available for download now."},
       newer},
      {"older, copy not installed",
       "version=1.2-6.4" + tail,
       false,
       {u"Your installed version of Vantreloquin does not match the latest version.",
        u"Version \"1.2-6.4\" is available for download now."},
       older + kManualHint},
      {"letter case counts",
       "version=1.2-6.5B" + tail,
       true,
       {u"Your installed version of Vantreloquin does not match the latest version.",
        u"Version \"1.2-6.5B\" is available for download now."},
       Format(kMismatch, u"1.2-6.5B")},
      {"date missing",
       "version=1.2-6.6\ndownload=http://h/Setup.exe",
       true,
       {u"Failed to parse version info file."},
       u""},
      {"error page",
       "<html><body>Not Found</body></html>",
       true,
       {u"Failed to parse version info file."},
       u""},
      {"unreachable", std::nullopt, true, {u"Failed to download version info file."}, u""},
  };
  for (const Case& c : cases) {
    LogCapture log;
    FakeHttpService service;
    if (c.file) {
      service.Serve(u"/Vantreloquin/CurrentVersion.txt", {FakeExchange::Body(*c.file)});
    }
    std::mutex lock;
    std::u16string notice;
    std::atomic<bool> updateAvailable{false};
    CheckVersionOnStartup({service.Factory(), VersionFileUrl(u"http://127.0.0.1:8080"),
                           [&] { return c.installed; }, lock, notice, updateAvailable});
    EXPECT_EQ(log.Texts(), c.logged) << c.name;
    EXPECT_EQ(notice, c.notice) << c.name;
    EXPECT_EQ(updateAvailable, !c.notice.empty()) << c.name;
  }
}

TEST(CheckVersionOnStartupTest, FetchesTheFileWithOneGet) {
  LogCapture log;
  FakeHttpService service;
  service.Serve(u"/Vantreloquin/CurrentVersion.txt",
                {FakeExchange::Body("version=1.2-6.5\ndate=\ndownload=u")});
  std::mutex lock;
  std::u16string notice;
  std::atomic<bool> updateAvailable{false};
  CheckVersionOnStartup({service.Factory(), VersionFileUrl(u"http://127.0.0.1:8080"),
                         [] { return true; }, lock, notice, updateAvailable});
  EXPECT_THAT(service.Events(),
              ElementsAre("OpenSession QVRNT HTTP Client", "Timeouts 0 60000 30000 30000",
                          "OpenRequest GET http 127.0.0.1:8080/Vantreloquin/CurrentVersion.txt",
                          "Send /Vantreloquin/CurrentVersion.txt", "CloseRequest", "CloseSession"));
}

}  // namespace
