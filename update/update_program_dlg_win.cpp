#include "update/update_program_dlg_win.h"

#include <shlobj.h>

#include "base/wide_win.h"
#include "config/file_io.h"
#include "config/folders.h"
#include "resources/resource_ids.h"
#include "toolkit/button_row_win.h"

namespace {

constexpr int kRowHeight = 25;
constexpr COLORREF kBoxFace = RGB(50, 50, 50);
constexpr COLORREF kText = RGB(255, 255, 255);

bool IsFolder(std::u16string_view folder) {
  const std::u16string copy(folder);
  const DWORD attributes = GetFileAttributesW(AsWide(copy));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::uint32_t StartProgram(std::u16string_view path, std::u16string_view commandLine) {
  std::u16string application(path);
  std::u16string line(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(AsWide(application), reinterpret_cast<LPWSTR>(line.data()), nullptr, nullptr,
                      FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup, &process)) {
    return GetLastError();
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

}  // namespace

CUpdateProgramDlg::CUpdateProgramDlg(HWND parent, UpdateProgramSources sources)
    : CToolTipDialog(IDD_UPDATE_PROGRAM, parent), sources_(std::move(sources)) {
  model_ = std::make_unique<UpdateDialogModel>(UpdateDialogServices{
      sources_.openTransport, sources_.versionFileUrl, sources_.installedCopy, sources_.prompts,
      *this, [] { return UserTempFolder(); },
      [](std::u16string_view folder) { return EnsureFolderExists(folder); }, IsFolder,
      [](std::u16string_view path, std::string_view bytes) {
        return ReplaceFileContent(path, bytes);
      },
      StartProgram, sources_.shutdownProgram});
}

CUpdateProgramDlg::~CUpdateProgramDlg() = default;

void CUpdateProgramDlg::Run() {
  DoModalTemplate(IDD_UPDATE_PROGRAM);
}

BOOL CUpdateProgramDlg::OnInitDialog() {
  SetWindowPosKeepTips(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  status_.Attach(hwnd(), IDC_UPDATE_STATUS);
  launchInstaller_.Attach(hwnd(), IDC_UPDATE_LAUNCH_INSTALLER);
  closeProgram_.Attach(hwnd(), IDC_UPDATE_CLOSE_PROGRAM);
  fullyAutomatic_.Attach(hwnd(), IDC_UPDATE_FULLY_AUTOMATIC);
  cancel_.Attach(hwnd(), IDC_UPDATE_CANCEL);
  download_.Attach(hwnd(), IDC_UPDATE_DOWNLOAD);
  for (CFlatColorButton* box : {&launchInstaller_, &closeProgram_, &fullyAutomatic_}) {
    box->SetCheckBox(true);
    box->SetColors(kText, kBoxFace);
  }
  Layout();
  initialised_ = true;
  cancel_.SetColors(kNegativeChoice.text, kNegativeChoice.face);
  download_.SetColors(kPositiveChoice.text, kPositiveChoice.face);
  model_->OnInitDialog();
  for (const auto& [control, id] : {std::pair{cancel_.hwnd(), IDC_UPDATE_CANCEL},
                                    {download_.hwnd(), IDC_UPDATE_DOWNLOAD},
                                    {launchInstaller_.hwnd(), IDC_UPDATE_LAUNCH_INSTALLER},
                                    {closeProgram_.hwnd(), IDC_UPDATE_CLOSE_PROGRAM},
                                    {fullyAutomatic_.hwnd(), IDC_UPDATE_FULLY_AUTOMATIC}}) {
    AddToolTip(control, UpdateDialogTooltip(id, sources_.installedCopy));
  }
  if (!SetTimer(hwnd(), kUpdateStatusTimerId, kUpdateStatusTimerMs, nullptr)) {
    sources_.prompts.ShowMessage(kUpdateTimerFailed);
  }
  ShowView();
  return TRUE;
}

void CUpdateProgramDlg::Layout() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int w = client.right;
  const int h = client.bottom;
  MoveWindow(status_.hwnd(), 0, 0, w, h - 4 * kRowHeight, TRUE);
  MoveWindow(launchInstaller_.hwnd(), 0, h - 4 * kRowHeight, w, kRowHeight, TRUE);
  MoveWindow(closeProgram_.hwnd(), 0, h - 3 * kRowHeight, w, kRowHeight, TRUE);
  MoveWindow(fullyAutomatic_.hwnd(), 0, h - 2 * kRowHeight, w, kRowHeight, TRUE);
  LayoutButtonRow(hwnd(), h - kRowHeight, kRowHeight, {cancel_.hwnd(), download_.hwnd()});
}

void CUpdateProgramDlg::ShowView() {
  const UpdateDialogView view = model_->View();
  status_.SetText(view.status, kUpdateStatusMaxFontHeight);
  EnableWindow(cancel_.hwnd(), view.cancelEnabled);
  EnableWindow(download_.hwnd(), view.downloadEnabled);
  launchInstaller_.SetCheck(view.boxes.launchInstaller);
  closeProgram_.SetCheck(view.boxes.closeProgram);
  fullyAutomatic_.SetCheck(view.boxes.fullyAutomatic);
  EnableWindow(launchInstaller_.hwnd(), view.launchInstallerEnabled);
  EnableWindow(closeProgram_.hwnd(), view.closeProgramEnabled);
}

UpdateCheckBoxes CUpdateProgramDlg::BoxesFromControls() const {
  return {launchInstaller_.GetCheck(), closeProgram_.GetCheck(), fullyAutomatic_.GetCheck()};
}

std::optional<std::u16string> CUpdateProgramDlg::BrowseForFolder(std::u16string_view title) {
  const std::u16string text(title);
  BROWSEINFOW browse{};
  browse.hwndOwner = hwnd();
  browse.lpszTitle = AsWide(text);
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (!chosen) {
    return std::nullopt;
  }
  wchar_t path[MAX_PATH] = {};
  const BOOL converted = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  return converted ? std::optional<std::u16string>(FromWide(path)) : std::nullopt;
}

void CUpdateProgramDlg::KillStatusTimer() {
  KillTimer(hwnd(), kUpdateStatusTimerId);
}

void CUpdateProgramDlg::CloseWithOk() {
  OnOK();
}

void CUpdateProgramDlg::OnDestroyWindow() {
  model_->OnDestroy();
}

bool CUpdateProgramDlg::PreTranslate(const MSG& msg) {
  return msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
}

bool CUpdateProgramDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kUpdateStatusTimerId) {
        model_->OnStatusTimer();
        if (hwnd()) {
          ShowView();
        }
        return true;
      }
      break;
    case WM_SIZE:
      if (initialised_) {
        Layout();
      }
      return false;
    case WM_COMMAND: {
      if (HIWORD(wParam) != BN_CLICKED) {
        break;
      }
      const int id = LOWORD(wParam);
      if (id == IDC_UPDATE_CANCEL) {
        OnCancel();
        return true;
      }
      if (id == IDC_UPDATE_DOWNLOAD) {
        model_->OnDownload();
        ShowView();
        return true;
      }
      if (id == IDC_UPDATE_LAUNCH_INSTALLER || id == IDC_UPDATE_CLOSE_PROGRAM ||
          id == IDC_UPDATE_FULLY_AUTOMATIC) {
        // The boxes do not tick themselves: a click turns the box over.
        CFlatColorButton& box = id == IDC_UPDATE_LAUNCH_INSTALLER ? launchInstaller_
                                : id == IDC_UPDATE_CLOSE_PROGRAM  ? closeProgram_
                                                                  : fullyAutomatic_;
        box.SetCheck(!box.GetCheck());
        model_->OnCheckBoxes(BoxesFromControls(), id == IDC_UPDATE_FULLY_AUTOMATIC);
        ShowView();
        return true;
      }
      break;
    }
    default:
      break;
  }
  return CToolTipDialog::OnMessage(message, wParam, lParam, result);
}
