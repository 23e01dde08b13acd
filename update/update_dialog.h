// The "Software Update" dialog without its window: the version check at
// opening, the installer download on the dialog's own worker, what the
// status area and the buttons show, the three check boxes and what happens
// when a download has ended. The dialog binds its controls to this class,
// forwards their commands and its 100 ms status timer, and shows View().
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/prompts.h"
#include "update/http_client.h"
#include "update/http_transport.h"
#include "update/update_worker.h"

// Control identifiers of template 140.
inline constexpr int kUpdateCancelId = 1002;
inline constexpr int kUpdateDownloadId = 1062;
inline constexpr int kUpdateLaunchInstallerId = 1061;
inline constexpr int kUpdateStatusId = 1055;
inline constexpr int kUpdateCloseProgramId = 1068;
inline constexpr int kUpdateFullyAutomaticId = 1069;

inline constexpr std::u16string_view kUpdateDialogCaption = u"Software Update";
inline constexpr int kUpdateStatusTimerId = 1;
inline constexpr int kUpdateStatusTimerMs = 100;
inline constexpr int kUpdateStatusMaxFontHeight = 50;
inline constexpr std::u16string_view kUpdateTimerFailed =
    u"Updater: Failed to create status query timer.";
inline constexpr std::u16string_view kUpdateFolderBrowserTitle =
    u"Please select a folder to save the Installer to...";
// Beneath the user's temporary folder: where fully automatic downloads go.
inline constexpr std::u16string_view kUpdateDownloadFolderName = u"Vantreloquin_DLXR1883MNL\\";

// The tooltip of a control; the Download button's depends on whether this
// copy was installed. Empty for a control without one.
std::u16string_view UpdateDialogTooltip(int controlId, bool installedCopy);

// The installer's file name in a download URL: what follows the last slash
// or backslash of the part before any query or fragment.
std::u16string InstallerFileName(std::u16string_view downloadUrl);

// The installer's file name (after the path's last backslash), then the
// argument after one blank unless it begins with one.
std::u16string InstallerCommandLine(std::u16string_view installerPath,
                                    std::u16string_view argument);

struct UpdateCheckBoxes {
  bool launchInstaller = true;
  bool closeProgram = true;
  bool fullyAutomatic = true;
  bool operator==(const UpdateCheckBoxes&) const = default;
};

// What the window shows.
struct UpdateDialogView {
  std::u16string status;
  bool cancelEnabled = true;
  bool downloadEnabled = false;
  UpdateCheckBoxes boxes;
  // The launch and close boxes are offered only while Fully Automatic is clear.
  bool launchInstallerEnabled = false;
  bool closeProgramEnabled = false;
};

// What the logic asks of its window (user-interface thread).
class UpdateDialogWindow {
 public:
  virtual ~UpdateDialogWindow() = default;
  // The platform's folder browser owned by the dialog; nullopt when cancelled.
  virtual std::optional<std::u16string> BrowseForFolder(std::u16string_view title) = 0;
  virtual void KillStatusTimer() = 0;
  // Ends the modal run with OK (through the fade-out).
  virtual void CloseWithOk() = 0;
};

// Starts the program at path with the command line and does not wait for
// it; 0 on success, else the system's error code.
using InstallerStarter =
    std::function<std::uint32_t(std::u16string_view path, std::u16string_view commandLine)>;

struct UpdateDialogServices {
  HttpTransportFactory openTransport;
  std::u16string versionFileUrl;
  // Whether this copy runs from its installation folder: only then is
  // Download offered.
  bool installedCopy = false;
  Prompts& prompts;
  UpdateDialogWindow& window;
  // The user's temporary folder.
  std::function<std::u16string()> userTempFolder;
  // Creates the folder (ending in a backslash) with its missing parents.
  std::function<bool(std::u16string_view folder)> createFolder;
  // Whether the folder (without a trailing backslash) exists.
  std::function<bool(std::u16string_view folder)> folderExists;
  // Saves the installer.
  FileWriter writeFile;
  InstallerStarter startInstaller;
  // The controller's orderly exit.
  std::function<void()> shutdownProgram;
};

class UpdateDialogModel {
 public:
  explicit UpdateDialogModel(UpdateDialogServices services);
  // Awaits a running job.
  ~UpdateDialogModel();
  UpdateDialogModel(const UpdateDialogModel&) = delete;
  UpdateDialogModel& operator=(const UpdateDialogModel&) = delete;

  // Dialog initialisation: Download off, the version check starts, the
  // Fully Automatic rule applies.
  void OnInitDialog();
  // The Download button: chooses the folder and starts the download.
  void OnDownload();
  // Any check box was clicked: the boxes as the controls show them. A click
  // on Fully Automatic applies its rule: set, it sets the other two.
  void OnCheckBoxes(const UpdateCheckBoxes& fromControls, bool fullyAutomaticClicked);
  // The status timer: refreshes the view and handles the end of a job.
  void OnStatusTimer();
  // The window goes away: a running job is completed first.
  void OnDestroy();

  UpdateDialogView View() const;
  bool IsWorkerIdle() const { return worker_.IsIdle(); }
  // Waits until the running job has ended.
  void WaitForWorker() { worker_.Wait(); }

 private:
  void StartUpdateJob();
  void UpdateWorkerJob(bool downloadMode);
  void SetStage(std::u16string_view stage);
  std::optional<std::u16string> ChooseDownloadFolder();
  void HandleJobEnd();
  void HandleDownloaded();

  UpdateDialogServices services_;
  UpdateCheckBoxes boxes_;
  std::u16string statusText_;
  bool cancelEnabled_ = true;
  bool downloadEnabled_ = false;
  bool running_ = false;
  bool downloadMode_ = false;
  // Written by the user-interface thread while the worker is idle and by
  // the worker while it runs.
  std::u16string resultMessage_;
  std::u16string downloadFolder_;
  std::u16string savedInstallerPath_;

  // Guards the stage text.
  mutable std::mutex statusLock_;
  std::u16string stage_;
  // Guards the progress text and the fetched values.
  mutable std::mutex fetchedLock_;
  std::u16string progress_;
  std::u16string fetchedVersion_;
  std::u16string fetchedDate_;
  std::u16string fetchedDownload_;

  // Last: it stops before the fields its job uses go away.
  UpdateWorker worker_;
};
