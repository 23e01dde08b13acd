// The base of the program's dialogs: hover tooltips on any control, with one
// look, and a fade of the window's alpha over FadeDuration whenever a
// top-level dialog is shown or removed. OK and Cancel fade out first and end
// the dialog afterwards.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/dialog_window_win.h"
#include "toolkit/fade.h"
#include "toolkit/stopwatch_win.h"
#include "toolkit/tooltip_records.h"

// Makes the window layered with the alpha (0 to 255); 0 when the system
// has no layered windows or the style could not be set.
BOOL ApplyAlpha(HWND window, int alpha);

class CToolTipDialog : public DialogWindow {
 public:
  CToolTipDialog(int templateId, HWND parent);
  ~CToolTipDialog() override;

  // Creates a modeless dialog, hidden until ShowFaded shows it; a page
  // passes the window it lies in.
  bool CreateModeless();
  bool CreateModeless(HWND parent);
  // Restarts the tooltip relay (a page's owner keeps its tooltips alive).
  void RestartToolTipRelay() { StartRelayTimer(); }
  // Attaches or updates the hover tooltip of one control; null is ignored.
  void AddToolTip(HWND control, std::u16string_view text);
  // The dialog's show: a top-level dialog fades in (SW_SHOW) or out (SW_HIDE).
  BOOL ShowFaded(int command);
  // Runs the dialog modally, invisible until its first fade tick; returns
  // IDOK, IDCANCEL, or -1 when the dialog could not be created.
  INT_PTR DoModalTemplate(int templateId);
  BOOL SetWindowPosKeepTips(HWND insertAfter, int x, int y, int width, int height, UINT flags);

  // Disable the dialog and fade it out; it ends when the fade is over.
  virtual void OnOK();
  virtual void OnCancel();

  HWND parent() const { return parent_; }
  // OK or Cancel was chosen and the dialog is fading out to its end.
  bool IsClosing() const { return closeCode_ != CloseCode::None; }
  std::size_t ToolTipCount() const { return tooltips_.size(); }

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  struct ToolArea {
    RECT rect{};
    bool operator==(const ToolArea& other) const { return EqualRect(&rect, &other.rect) != 0; }
  };
  using ToolTips = ToolTipRecords<HWND, HWND, ToolArea>;

  bool IsChild() const;
  void StartRelayTimer();
  void RelayTick();
  void RestackToolTips();
  void StartFadeIn();
  void StartFadeOut();
  void FadeTick();
  void EndAfterFade(CloseCode code);

  int templateId_;
  HWND parent_;
  bool parentDisabled_ = false;
  bool runningModal_ = false;
  ToolTips tooltips_;
  POINT lastRelayed_{};
  bool relayTimerRuns_ = false;
  CloseCode closeCode_ = CloseCode::None;
  MicrosecondStopwatch stopwatch_;
  FadeAnimation fade_;
  bool holdHidden_ = false;
  bool showingFromFade_ = false;
};
