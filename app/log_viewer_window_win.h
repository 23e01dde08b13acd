// The log viewer's window: the committed log lines, green on dark grey,
// following the newest line; File > Save As writes the whole log.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/log_viewer.h"
#include "app/log_viewer_window.h"
#include "toolkit/bitmap_list_box_win.h"
#include "toolkit/prompts.h"
#include "toolkit/tooltip_dialog_win.h"

class LogViewerDialog : public CToolTipDialog, public LogListener {
 public:
  LogViewerDialog(HWND parent, LogBook& book, Prompts& prompts);
  ~LogViewerDialog() override;

  // Moves pending lines into the list, keeping at most 10000.
  void FlushPendingLog();
  // Asks for a file and saves the log there.
  void SaveLogAs();
  // Saves the log into the file and says so.
  void SaveLogTo(const std::u16string& path);
  // Any thread: a line waits to be shown.
  void OnLogPending() override;
  bool PreTranslate(const MSG& msg) override;

  CBitmapListBox& lines() { return list_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  LogBook& book_;
  Prompts& prompts_;
  CBitmapListBox list_;
};

class Win32LogViewerWindow : public LogViewerWindow {
 public:
  // The log is asked for when the window is created.
  Win32LogViewerWindow(DialogWindow& owner, std::function<LogBook&()> log, Prompts& prompts)
      : owner_(owner), log_(std::move(log)), prompts_(prompts) {}

  bool Create() override;
  void Show() override;
  void SaveLogAs() override;
  void Enable(bool enabled) override;

 private:
  DialogWindow& owner_;
  std::function<LogBook&()> log_;
  Prompts& prompts_;
  std::unique_ptr<LogViewerDialog> dialog_;
};
