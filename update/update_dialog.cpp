#include "update/update_dialog.h"

#include "app/product.h"
#include "base/format.h"
#include "base/text.h"
#include "config/folders.h"
#include "update/version_check.h"

namespace {

constexpr std::u16string_view kBusyStatus =
    u"\"%s\" is being downloaded now.\r\nPlease wait...\r\n\r\nStatus = %s\r\n%s";
constexpr std::u16string_view kIdleStatus =
    u"====================================\r\nInstalled Version = %s\r\n"
    u"====================================\r\nAvailable Version = %s, %s\r\n\r\n%s";

}  // namespace

std::u16string_view UpdateDialogTooltip(int controlId, bool installedCopy) {
  switch (controlId) {
    case kUpdateCancelId:
      return u"Closes the update dialog.\r\n\r\nThis button is only available before an update "
             u"is in progress.";
    case kUpdateDownloadId:
      return installedCopy
                 ? u"Downloads the latest version of Vantreloquin.\r\n\r\nThis button is only "
                   u"available if your version does not match the latest build on the "
                   u"Ostrafelmoria server."
                 : u"This copy was not installed via the Vantreloquin installer.\r\n\r\nAs such, "
                   u"the automatic updater is disabled.\r\nYou can still use this feature to see "
                   u"if you have the latest release, though.";
    case kUpdateLaunchInstallerId:
      return u"If checked, the program installer will automatically be launched after download "
             u"completes.";
    case kUpdateCloseProgramId:
      return u"If checked, Vantreloquin will close after update is done downloading.  Since the "
             u"program has to be closed during installation anyway, this means one less step if "
             u"you intend to install the update now.";
    case kUpdateFullyAutomaticId:
      return u"If checked, the latest version will be downloaded and installed without any "
             u"input.";
    default:
      return {};
  }
}

std::u16string InstallerFileName(std::u16string_view downloadUrl) {
  // A query or fragment is no part of the file's name ("?" is not even
  // allowed in one).
  const std::u16string_view path = downloadUrl.substr(0, downloadUrl.find_first_of(u"?#"));
  const std::size_t slash = path.find_last_of(u"/\\");
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

std::u16string InstallerCommandLine(std::u16string_view installerPath,
                                    std::u16string_view argument) {
  const std::size_t slash = installerPath.rfind(u'\\');
  std::u16string line(slash == std::u16string_view::npos ? installerPath
                                                         : installerPath.substr(slash + 1));
  if (!argument.empty()) {
    if (argument.front() != u' ') {
      line += u' ';
    }
    line += argument;
  }
  return line;
}

UpdateDialogModel::UpdateDialogModel(UpdateDialogServices services)
    : services_(std::move(services)) {}

UpdateDialogModel::~UpdateDialogModel() {
  worker_.Stop();
}

void UpdateDialogModel::OnInitDialog() {
  downloadMode_ = false;
  downloadEnabled_ = false;
  StartUpdateJob();
  OnCheckBoxes(boxes_, true);
}

void UpdateDialogModel::OnDownload() {
  StartUpdateJob();
}

void UpdateDialogModel::OnCheckBoxes(const UpdateCheckBoxes& fromControls,
                                     bool fullyAutomaticClicked) {
  boxes_ = fromControls;
  if (fullyAutomaticClicked && boxes_.fullyAutomatic) {
    boxes_.launchInstaller = true;
    boxes_.closeProgram = true;
  }
}

void UpdateDialogModel::OnDestroy() {
  worker_.Stop();
}

UpdateDialogView UpdateDialogModel::View() const {
  UpdateDialogView view;
  view.status = statusText_;
  view.cancelEnabled = cancelEnabled_;
  view.downloadEnabled = downloadEnabled_;
  view.boxes = boxes_;
  view.launchInstallerEnabled = !boxes_.fullyAutomatic;
  view.closeProgramEnabled = !boxes_.fullyAutomatic;
  return view;
}

std::optional<std::u16string> UpdateDialogModel::ChooseDownloadFolder() {
  std::optional<std::u16string> chosen;
  if (boxes_.fullyAutomatic) {
    const std::u16string folder =
        NormalizeFolder(services_.userTempFolder()) + std::u16string(kUpdateDownloadFolderName);
    services_.createFolder(folder);
    chosen = folder;
  } else {
    chosen = services_.window.BrowseForFolder(kUpdateFolderBrowserTitle);
  }
  if (!chosen) {
    return std::nullopt;
  }
  std::u16string folder = ReplaceAll(*chosen, u"/", u"\\");
  while (!folder.empty() && folder.back() == u'\\') {
    folder.pop_back();
  }
  if (folder.empty() || !services_.folderExists(folder)) {
    return std::nullopt;
  }
  return folder + u"\\";
}

void UpdateDialogModel::StartUpdateJob() {
  if (!worker_.IsIdle()) {
    services_.prompts.ShowMessage(
        u"Updater: Please wait for the update process to complete or timeout.");
    return;
  }
  if (downloadMode_) {
    const std::optional<std::u16string> folder = ChooseDownloadFolder();
    if (!folder) {
      services_.prompts.ShowMessage(u"Updater: Cancelled destination selection.");
      services_.window.CloseWithOk();
      return;
    }
    downloadFolder_ = *folder;
  }
  resultMessage_.clear();
  savedInstallerPath_.clear();
  cancelEnabled_ = false;
  downloadEnabled_ = false;
  running_ = true;
  const bool downloadMode = downloadMode_;
  if (!worker_.Run([this, downloadMode](Event&) { UpdateWorkerJob(downloadMode); })) {
    running_ = false;
    cancelEnabled_ = true;
    services_.prompts.ShowMessage(u"Updater: Failed to spawn worker thread.");
  }
}

void UpdateDialogModel::SetStage(std::u16string_view stage) {
  std::lock_guard lock(statusLock_);
  stage_ = stage;
}

void UpdateDialogModel::UpdateWorkerJob(bool downloadMode) {
  SetStage(u"Downloading version info");
  HttpClient client(
      services_.openTransport(), services_.versionFileUrl,
      [this](double percent) {
        std::lock_guard lock(fetchedLock_);
        progress_ = Format(u"Download %.2f%% complete...\r\n", percent);
      },
      services_.writeFile);
  if (!client.Request(u"GET")) {
    resultMessage_ = kVersionDownloadFailed;
    return;
  }
  SetStage(u"Parsing version info");
  const VersionInfo info = ParseVersionFile(client.GetResponseText());
  {
    std::lock_guard lock(fetchedLock_);
    fetchedVersion_ = info.version.value_or(u"");
    fetchedDate_ = info.date.value_or(u"");
    fetchedDownload_ = info.download.value_or(u"");
  }
  if (!info.IsUsable()) {
    resultMessage_ = kVersionParseFailed;
    return;
  }
  if (*info.version == kProductVersion) {
    resultMessage_ = u"Installed version already matches.";
    return;
  }
  if (!downloadMode) {
    return;
  }
  SetStage(u"Downloading update installer");
  client.SetUrl(*info.download);
  if (!client.Request(u"GET")) {
    resultMessage_ = u"Failed to download installer.";
    return;
  }
  const std::u16string name = InstallerFileName(*info.download);
  const std::u16string target = downloadFolder_ + name;
  SetStage(u"Saving installer to disk");
  // Without a name the target is the folder itself, which no file may replace.
  if (!name.empty() && client.SaveResponseToFile(target)) {
    savedInstallerPath_ = target;
  } else {
    resultMessage_ = Format(u"Failed to write file \"%s\"", target);
  }
}

void UpdateDialogModel::OnStatusTimer() {
  std::u16string version;
  std::u16string date;
  {
    std::lock_guard lock(fetchedLock_);
    version = fetchedVersion_;
    date = fetchedDate_;
  }
  if (!worker_.IsIdle()) {
    std::u16string stage;
    {
      std::lock_guard lock(statusLock_);
      stage = stage_;
    }
    std::lock_guard lock(fetchedLock_);
    statusText_ = Format(kBusyStatus, version, stage, progress_);
    return;
  }
  std::u16string verdict;
  if (version == kProductVersion) {
    verdict = u"Your version of Vantreloquin is up to date.";
    downloadEnabled_ = false;
  } else if (!version.empty()) {
    verdict = u"The installed version is not the latest listed.";
    if (services_.installedCopy) {
      downloadEnabled_ = true;
    } else {
      verdict +=
          u"\r\n\r\n\"Software Update\" relies on the program's installer.\r\n"
          u"This copy of the program was not installed.";
    }
  }
  statusText_ = Format(kIdleStatus, kProductVersion, version, date, verdict);
  if (running_) {
    HandleJobEnd();
  }
}

void UpdateDialogModel::HandleJobEnd() {
  running_ = false;
  cancelEnabled_ = true;
  if (downloadMode_) {
    if (resultMessage_.empty()) {
      HandleDownloaded();
    } else {
      std::u16string message = u"Updater:\r\n\r\n" + resultMessage_;
      services_.prompts.ShowMessageAndWipe(message);
    }
  }
  downloadMode_ = true;
}

void UpdateDialogModel::HandleDownloaded() {
  if (boxes_.launchInstaller) {
    const std::u16string argument = boxes_.fullyAutomatic ? u"-silent" : u"";
    if (services_.startInstaller(savedInstallerPath_,
                                 InstallerCommandLine(savedInstallerPath_, argument)) != 0) {
      services_.prompts.ShowMessage(
          u"Updater:\r\n\r\nFailed to launch installer.\r\nPlease start the downloaded installer "
          u"manually.");
      boxes_.closeProgram = false;
    }
  }
  services_.window.KillStatusTimer();
  if (boxes_.closeProgram) {
    services_.shutdownProgram();
    services_.window.CloseWithOk();
  } else {
    services_.window.CloseWithOk();
    services_.prompts.ShowMessage(u"Updater: Download Complete!\r\n" + savedInstallerPath_);
  }
}
