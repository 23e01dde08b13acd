#include "update/update_dialog.h"

#include <deque>
#include <map>
#include <memory>
#include <set>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_http.h"
#include "fakes/fake_prompts.h"

using ::testing::ElementsAre;

namespace {

constexpr char16_t kVersionPath[] = u"/Vantreloquin/CurrentVersion.txt";
constexpr char16_t kSetupPath[] = u"/files/Setup.exe";

std::u16string IdleStatus(std::u16string_view available, std::u16string_view verdict) {
  return u"====================================\r\nInstalled Version = 1.2-6.5\r\n"
         u"====================================\r\nAvailable Version = " +
         std::u16string(available) + u"\r\n\r\n" + std::u16string(verdict);
}

FakeExchange VersionFile(const std::string& version,
                         const std::string& download = "http://dl.test/files/Setup.exe") {
  return FakeExchange::Body("version=" + version + "\r\ndate=2016-11-27\r\ndownload=" + download +
                            "\r\n");
}

FakeExchange Unreachable() {
  FakeExchange exchange;
  exchange.send = SendOutcome::Failed;
  return exchange;
}

class UpdateDialogTest : public ::testing::Test, public UpdateDialogWindow {
 protected:
  std::optional<std::u16string> BrowseForFolder(std::u16string_view title) override {
    happenings.push_back("browse " + Utf16ToUtf8(title));
    std::optional<std::u16string> answer =
        browseAnswers.empty() ? std::nullopt : browseAnswers.front();
    if (!browseAnswers.empty()) {
      browseAnswers.pop_front();
    }
    return answer;
  }
  void KillStatusTimer() override { happenings.push_back("kill timer"); }
  void CloseWithOk() override { happenings.push_back("close"); }

  // Opens the dialog and lets the version check end.
  void Open(bool installed = true) {
    prompts.whileOpen = [this] { happenings.push_back("prompt"); };
    model = std::make_unique<UpdateDialogModel>(UpdateDialogServices{
        service->Factory(), u"http://updates.test/Vantreloquin/CurrentVersion.txt", installed,
        prompts, *this, [] { return u"C:/Temp"; },
        [this](std::u16string_view folder) {
          happenings.push_back("create " + Utf16ToUtf8(folder));
          folders.insert(std::u16string(folder.substr(0, folder.size() - 1)));
          return true;
        },
        [this](std::u16string_view folder) { return folders.contains(std::u16string(folder)); },
        [this](std::u16string_view path, std::string_view bytes) {
          if (path.ends_with(u'\\')) {
            return false;
          }
          files[std::u16string(path)] = bytes;
          return true;
        },
        [this](std::u16string_view path, std::u16string_view commandLine) {
          happenings.push_back("start " + Utf16ToUtf8(path) + " | " + Utf16ToUtf8(commandLine));
          return installerError;
        },
        [this] { happenings.push_back("shutdown"); }});
    model->OnInitDialog();
    Finish();
  }
  // Lets the running job end and the status timer notice it.
  void Finish() {
    model->WaitForWorker();
    model->OnStatusTimer();
  }
  void Download(UpdateCheckBoxes boxes) {
    model->OnCheckBoxes(boxes, true);
    happenings.clear();
    prompts.shown.clear();
    model->OnDownload();
    Finish();
  }

  // Between the cases of a table.
  void Reset() {
    model.reset();
    service = std::make_unique<FakeHttpService>();
    files.clear();
    happenings.clear();
    prompts.shown.clear();
  }

  std::unique_ptr<FakeHttpService> service = std::make_unique<FakeHttpService>();
  FakePrompts prompts;
  std::deque<std::optional<std::u16string>> browseAnswers;
  std::set<std::u16string> folders{u"C:\\dl"};
  std::map<std::u16string, std::string> files;
  std::uint32_t installerError = 0;
  std::vector<std::string> happenings;
  std::unique_ptr<UpdateDialogModel> model;
};

constexpr UpdateCheckBoxes kManualNoLaunch{false, false, false};

TEST_F(UpdateDialogTest, OpeningShowsBothVersionsAndOffersDownloadOnlyWhenItCan) {
  struct Case {
    const char* name;
    FakeExchange file;
    bool installed;
    std::u16string status;
    bool downloadEnabled;
  };
  const Case cases[] = {
      {"newer, installed", VersionFile("1.2-6.6"), true,
       IdleStatus(u"1.2-6.6, 2016-11-27", u"The installed version is not the latest listed."),
       true},
      {"newer, not installed", VersionFile("1.2-6.6"), false,
       IdleStatus(u"1.2-6.6, 2016-11-27",
                  u"The installed version is not the latest listed.\r\n\r\n\"Software Update\" "
                  u"relies on the program's installer.\r\nThis copy of the program was not "
                  u"installed."),
       false},
      {"equal", VersionFile("1.2-6.5"), true,
       IdleStatus(u"1.2-6.5, 2016-11-27", u"Your version of Vantreloquin is up to date."), false},
      {"unreachable", Unreachable(), true, IdleStatus(u", ", u""), false},
  };
  for (const Case& c : cases) {
    service->Serve(kVersionPath, {c.file});
    Open(c.installed);
    const UpdateDialogView view = model->View();
    EXPECT_EQ(view.status, c.status) << c.name;
    EXPECT_EQ(view.downloadEnabled, c.downloadEnabled) << c.name;
    EXPECT_TRUE(view.cancelEnabled) << c.name;
    EXPECT_TRUE(prompts.shown.empty()) << c.name << ": a check at opening prompts nothing";
    EXPECT_TRUE(happenings.empty()) << c.name;
    Reset();
  }
}

TEST_F(UpdateDialogTest, BusyWorkerShowsStageAndProgressAndRefusesASecondJob) {
  const std::string file = "version=1.2-6.6\ndate=d\ndownload=http://dl.test/files/Setup.exe";
  service->Serve(kVersionPath, {FakeExchange::Body(
                                   file, u"Content-Length: " +
                                             Utf8ToUtf16(std::to_string(file.size())) + u"\r\n")});
  service->Serve(kSetupPath, {FakeExchange::Body("MZ")});
  Event gate(Event::ResetMode::Manual, false);
  service->sendGate = &gate;
  service->gatedPath = kSetupPath;
  Open();

  model->OnDownload();
  service->atGate.Wait();
  model->OnStatusTimer();
  const UpdateDialogView busy = model->View();
  EXPECT_EQ(busy.status,
            u"\"1.2-6.6\" is being downloaded now.\r\nPlease wait...\r\n\r\n"
            u"Status = Downloading update installer\r\nDownload 100.00% complete...\r\n");
  EXPECT_FALSE(busy.cancelEnabled);
  EXPECT_FALSE(busy.downloadEnabled);

  model->OnDownload();
  EXPECT_THAT(prompts.shown,
              ElementsAre(u"Updater: Please wait for the update process to complete or timeout."));
  gate.Set();
  Finish();
  EXPECT_EQ(files.size(), 1u);
}

TEST_F(UpdateDialogTest, FullyAutomaticDownloadsToTheTemporaryFolderStartsSilentlyAndExits) {
  service->Serve(kVersionPath, {VersionFile("1.2-6.6")});
  service->Serve(kSetupPath, {FakeExchange::Body(std::string("MZ\0\x90", 4))});
  Open();
  Download(UpdateCheckBoxes{false, false, true});

  const std::u16string saved = u"C:\\Temp\\Vantreloquin_DLXR1883MNL\\Setup.exe";
  EXPECT_EQ(files[saved], std::string("MZ\0\x90", 4));
  EXPECT_THAT(happenings,
              ElementsAre("create C:\\Temp\\Vantreloquin_DLXR1883MNL\\",
                          "start C:\\Temp\\Vantreloquin_DLXR1883MNL\\Setup.exe | Setup.exe -silent",
                          "kill timer", "shutdown", "close"));
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(UpdateDialogTest, ManualDownloadEndsAccordingToTheCheckBoxes) {
  struct Case {
    const char* name;
    UpdateCheckBoxes boxes;
    std::uint32_t installerError;
    std::vector<std::string> happenings;
    std::vector<std::u16string> shown;
  };
  const std::string browse = "browse Please select a folder to save the Installer to...";
  const std::u16string complete = u"Updater: Download Complete!\r\nC:\\dl\\Setup.exe";
  const std::u16string launchFailed =
      u"Updater:\r\n\r\nFailed to launch installer.\r\nPlease start the downloaded installer "
      u"manually.";
  const Case cases[] = {
      {"no launch, no exit",
       kManualNoLaunch,
       0,
       {browse, "kill timer", "close", "prompt"},
       {complete}},
      {"launch without -silent, then exit",
       {true, true, false},
       0,
       {browse, "start C:\\dl\\Setup.exe | Setup.exe", "kill timer", "shutdown", "close"},
       {}},
      {"failed launch keeps the program running",
       {true, true, false},
       2,
       {browse, "start C:\\dl\\Setup.exe | Setup.exe", "prompt", "kill timer", "close", "prompt"},
       {launchFailed, complete}},
  };
  for (const Case& c : cases) {
    service->Serve(kVersionPath, {VersionFile("1.2-6.6")});
    service->Serve(kSetupPath, {FakeExchange::Body("MZ")});
    installerError = c.installerError;
    browseAnswers = {u"C:/dl//"};
    Open();
    Download(c.boxes);
    EXPECT_EQ(files[u"C:\\dl\\Setup.exe"], "MZ") << c.name;
    EXPECT_EQ(happenings, c.happenings) << c.name;
    EXPECT_EQ(prompts.shown, c.shown) << c.name;
    Reset();
  }
}

TEST_F(UpdateDialogTest, NoUsableFolderClosesTheDialogWithoutDownloading) {
  const std::optional<std::u16string> answers[] = {std::nullopt, u"C:\\missing", u"\\\\"};
  for (const std::optional<std::u16string>& answer : answers) {
    service->Serve(kVersionPath, {VersionFile("1.2-6.6")});
    browseAnswers = {answer};
    Open();
    Download(kManualNoLaunch);
    EXPECT_THAT(prompts.shown, ElementsAre(u"Updater: Cancelled destination selection."));
    EXPECT_EQ(happenings.back(), "close");
    EXPECT_EQ(service->SendsTo("/Vantreloquin/CurrentVersion.txt"), 1);
    Reset();
  }
}

TEST_F(UpdateDialogTest, FailedDownloadIsShownAndTheDialogStaysOpen) {
  struct Case {
    const char* name;
    std::vector<FakeExchange> versionFiles;
    std::vector<FakeExchange> installer;
    std::u16string shown;
  };
  const Case cases[] = {
      {"installer unreachable",
       {VersionFile("1.2-6.6")},
       {Unreachable()},
       u"Updater:\r\n\r\nFailed to download installer."},
      {"URL without a file name",
       {VersionFile("1.2-6.6", "http://dl.test/files/")},
       {FakeExchange::Body("index")},
       u"Updater:\r\n\r\nFailed to write file \"C:\\dl\\\""},
      {"empty installer",
       {VersionFile("1.2-6.6")},
       {FakeExchange::Body("")},
       u"Updater:\r\n\r\nFailed to write file \"C:\\dl\\Setup.exe\""},
      {"version now matches",
       {VersionFile("1.2-6.6"), VersionFile("1.2-6.5")},
       {},
       u"Updater:\r\n\r\nInstalled version already matches."},
      {"version file gone",
       {VersionFile("1.2-6.6"), Unreachable()},
       {},
       u"Updater:\r\n\r\nFailed to download version info file."},
      {"version file broken",
       {VersionFile("1.2-6.6"), FakeExchange::Body("version=2")},
       {},
       u"Updater:\r\n\r\nFailed to parse version info file."},
  };
  for (const Case& c : cases) {
    service->Serve(kVersionPath, c.versionFiles);
    service->Serve(u"/files/", c.installer);
    service->Serve(kSetupPath, c.installer);
    browseAnswers = {u"C:\\dl"};
    Open();
    Download(kManualNoLaunch);
    EXPECT_THAT(prompts.shown, ElementsAre(c.shown)) << c.name;
    EXPECT_THAT(happenings,
                ElementsAre("browse Please select a folder to save the Installer to...", "prompt"))
        << c.name;
    EXPECT_TRUE(files.empty()) << c.name;
    EXPECT_TRUE(model->View().cancelEnabled) << c.name;
    Reset();
  }
}

TEST_F(UpdateDialogTest, FullyAutomaticSetsAndLocksTheOtherBoxes) {
  service->Serve(kVersionPath, {VersionFile("1.2-6.5")});
  Open();
  UpdateDialogView view = model->View();
  EXPECT_EQ(view.boxes, (UpdateCheckBoxes{true, true, true}));
  EXPECT_FALSE(view.launchInstallerEnabled || view.closeProgramEnabled);

  model->OnCheckBoxes({false, true, false}, true);
  view = model->View();
  EXPECT_EQ(view.boxes, (UpdateCheckBoxes{false, true, false}));
  EXPECT_TRUE(view.launchInstallerEnabled && view.closeProgramEnabled);

  model->OnCheckBoxes({false, false, true}, true);
  EXPECT_EQ(model->View().boxes, (UpdateCheckBoxes{true, true, true}));
}

TEST(InstallerNameTest, NameAndCommandLine) {
  struct Case {
    std::u16string url;
    std::u16string name;
  };
  const Case cases[] = {
      {u"http://h/files/Setup.exe", u"Setup.exe"},
      {u"http://h/get/Setup.exe?id=5&from=a/b", u"Setup.exe"},
      {u"http://h\\dl\\Setup.exe#top", u"Setup.exe"},
      {u"http://h/files/", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InstallerFileName(c.url), c.name) << Utf16ToUtf8(c.url);
  }
  EXPECT_EQ(InstallerCommandLine(u"C:\\dl\\Setup.exe", u"-silent"), u"Setup.exe -silent");
  EXPECT_EQ(InstallerCommandLine(u"C:\\dl\\Setup.exe", u" -silent"), u"Setup.exe -silent");
  EXPECT_EQ(InstallerCommandLine(u"C:\\dl\\Setup.exe", u""), u"Setup.exe");
}

}  // namespace
