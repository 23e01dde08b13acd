// The "Software Update" window: the installed and the available version,
// and the download of the installer, which it can start and close the
// program for.
#pragma once

#include <memory>

#include "toolkit/flat_color_button_win.h"
#include "toolkit/simple_blit_edit_win.h"
#include "toolkit/tooltip_dialog_win.h"
#include "update/update_dialog.h"

// What the window needs beyond itself.
struct UpdateProgramSources {
  HttpTransportFactory openTransport;
  std::u16string versionFileUrl;
  bool installedCopy = false;
  Prompts& prompts;
  std::function<void()> shutdownProgram;
};

class CUpdateProgramDlg : public CToolTipDialog, private UpdateDialogWindow {
 public:
  CUpdateProgramDlg(HWND parent, UpdateProgramSources sources);
  ~CUpdateProgramDlg() override;

  // Runs the dialog modally; returns when it has closed.
  void Run();
  bool PreTranslate(const MSG& msg) override;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnDestroyWindow() override;

 private:
  std::optional<std::u16string> BrowseForFolder(std::u16string_view title) override;
  void KillStatusTimer() override;
  void CloseWithOk() override;

  void Layout();
  void ShowView();
  UpdateCheckBoxes BoxesFromControls() const;

  UpdateProgramSources sources_;
  std::unique_ptr<UpdateDialogModel> model_;
  bool initialised_ = false;
  SimpleBlitEdit status_;
  CFlatColorButton launchInstaller_;
  CFlatColorButton closeProgram_;
  CFlatColorButton fullyAutomatic_;
  CFlatColorButton cancel_;
  CFlatColorButton download_;
};
