#include "toolkit/tooltip_dialog_win.h"

#include <commctrl.h>

#include <climits>

#include "base/wide_win.h"
#include "toolkit/fade_duration.h"
#include "toolkit/owner_drawn_control_win.h"
#include "toolkit/tooltip_look_win.h"

namespace {

constexpr UINT_PTR kRelayTimer = 1001;
constexpr UINT kRelayPeriodMs = 100;
constexpr UINT_PTR kFadeTimer = 1002;
constexpr UINT kFadePeriodMs = 10;
constexpr COLORREF kTipFace = 0xC80000;  // dark blue
constexpr COLORREF kTipText = 0xFFFFFF;
constexpr UINT_PTR kToolId = 1;
constexpr DWORD kEndPauseMs = 100;

using SetLayeredAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

TTTOOLINFOW ToolOf(HWND control) {
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = control;
  tool.uId = kToolId;
  return tool;
}

// Puts a window in the Z-order without letting the foreground move.
void SetWindowPosKeepingForeground(HWND window, HWND insertAfter, bool restore) {
  HWND foreground = GetForegroundWindow();
  SetWindowPos(window, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (restore && GetForegroundWindow() != foreground) {
    SetForegroundWindow(foreground);
  }
}

}  // namespace

BOOL ApplyAlpha(HWND window, int alpha) {
  static const auto setLayered = reinterpret_cast<SetLayeredAttributes>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32"), "SetLayeredWindowAttributes")));
  if (!setLayered) {
    return FALSE;
  }
  SetLastError(0);
  SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
  if (GetLastError() != 0) {
    return FALSE;
  }
  return setLayered(window, 0xFFFFFF, static_cast<BYTE>(alpha), LWA_ALPHA);
}

CToolTipDialog::CToolTipDialog(int templateId, HWND parent)
    : templateId_(templateId), parent_(parent) {}

CToolTipDialog::~CToolTipDialog() {
  if (HWND window = hwnd()) {
    DestroyWindow(window);
  }
  for (auto& record : tooltips_.records()) {
    if (record.tip && IsWindow(record.tip)) {
      DestroyWindow(record.tip);
    }
  }
  tooltips_.clear();
}

bool CToolTipDialog::CreateModeless() {
  return Create(templateId_, parent_);
}

bool CToolTipDialog::CreateModeless(HWND parent) {
  parent_ = parent;
  return CreateModeless();
}

bool CToolTipDialog::IsChild() const {
  return (GetWindowLongW(hwnd(), GWL_STYLE) & WS_CHILD) != 0;
}

void CToolTipDialog::AddToolTip(HWND control, std::u16string_view text) {
  if (!control || !hwnd()) {
    return;
  }
  auto& record = tooltips_.RecordFor(control);
  if (!record.tip) {
    record.tip = CreateToolTipWindow(hwnd());
    if (record.tip) {
      SendMessageW(record.tip, TTM_ACTIVATE, FALSE, 0);
    }
  }
  if (!record.tip) {
    return;
  }
  SetWindowPosKeepingForeground(record.tip, HWND_TOPMOST, IsWindowVisible(control) != FALSE);
  record.text = text;
  TTTOOLINFOW tool = ToolOf(control);
  tool.lpszText = const_cast<wchar_t*>(AsWide(record.text));
  if (SendMessageW(record.tip, TTM_GETTOOLCOUNT, 0, 0) == 0) {
    GetClientRect(control, &record.area.rect);
    tool.rect = record.area.rect;
    SendMessageW(record.tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  } else {
    SendMessageW(record.tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  ApplyToolTipTimings(record.tip);
  SendMessageW(record.tip, TTM_SETTIPBKCOLOR, kTipFace, 0);
  SendMessageW(record.tip, TTM_SETTIPTEXTCOLOR, kTipText, 0);
}

BOOL CToolTipDialog::ShowFaded(int command) {
  if (IsChild()) {
    StartRelayTimer();
    return ShowWindow(hwnd(), command);
  }
  if (command == SW_SHOW) {
    StartRelayTimer();
    StartFadeIn();
    return TRUE;
  }
  if (command == SW_HIDE) {
    StartFadeOut();
    return TRUE;
  }
  return ShowWindow(hwnd(), command);
}

INT_PTR CToolTipDialog::DoModalTemplate(int templateId) {
  holdHidden_ = true;
  templateId_ = templateId;
  closeCode_ = CloseCode::None;
  if (!Create(templateId_, parent_)) {
    holdHidden_ = false;
    return -1;
  }
  if (parent_ && IsWindowEnabled(parent_)) {
    EnableWindow(parent_, FALSE);
    parentDisabled_ = true;
  }
  runningModal_ = true;
  ShowWindow(hwnd(), SW_SHOW);  // held hidden: the first fade tick shows it
  const INT_PTR result = RunModal();
  runningModal_ = false;
  return result;
}

BOOL CToolTipDialog::SetWindowPosKeepTips(HWND insertAfter, int x, int y, int width, int height,
                                          UINT flags) {
  const BOOL placed = SetWindowPos(hwnd(), insertAfter, x, y, width, height, flags);
  RestackToolTips();
  return placed;
}

void CToolTipDialog::OnOK() {
  EnableWindow(hwnd(), FALSE);
  closeCode_ = CloseCode::Ok;
  StartFadeOut();
}

void CToolTipDialog::OnCancel() {
  EnableWindow(hwnd(), FALSE);
  closeCode_ = CloseCode::Cancel;
  StartFadeOut();
}

void CToolTipDialog::StartRelayTimer() {
  if (relayTimerRuns_ || tooltips_.empty()) {
    return;
  }
  lastRelayed_ = POINT{INT_MIN, INT_MIN};
  relayTimerRuns_ = SetTimer(hwnd(), kRelayTimer, kRelayPeriodMs, nullptr) != 0;
  RestackToolTips();
}

void CToolTipDialog::RestackToolTips() {
  for (auto& record : tooltips_.records()) {
    if (record.tip) {
      SetWindowPosKeepingForeground(record.tip, record.control, true);
    }
  }
}

void CToolTipDialog::RelayTick() {
  if (!IsWindowVisible(hwnd())) {
    KillTimer(hwnd(), kRelayTimer);
    relayTimerRuns_ = false;
    return;
  }
  if (tooltips_.empty()) {
    return;
  }
  for (auto& record : tooltips_.records()) {
    ToolArea now;
    GetClientRect(record.control, &now.rect);
    if (!(now == record.area) && record.tip) {
      record.area = now;
      TTTOOLINFOW tool = ToolOf(record.control);
      tool.rect = now.rect;
      SendMessageW(record.tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  POINT screen{};
  GetCursorPos(&screen);
  POINT cursor = screen;
  ScreenToClient(hwnd(), &cursor);
  if (cursor.x == lastRelayed_.x && cursor.y == lastRelayed_.y) {
    return;
  }
  lastRelayed_ = cursor;
  RECT client{};
  GetClientRect(hwnd(), &client);
  if (!PtInRect(&client, cursor)) {
    return;
  }
  MSG move{};
  move.hwnd = hwnd();
  move.message = WM_MOUSEMOVE;
  move.lParam = MAKELPARAM(cursor.x, cursor.y);
  move.time = GetTickCount();
  move.pt = screen;
  for (auto& record : tooltips_.records()) {
    if (!record.control || !record.tip) {
      continue;
    }
    MSG copy = move;
    POINT inControl = screen;
    ScreenToClient(record.control, &inControl);
    RECT area{};
    GetClientRect(record.control, &area);
    if (PtInRect(&area, inControl)) {
      copy.hwnd = record.control;
      copy.lParam = MAKELPARAM(inControl.x, inControl.y);
    }
    SendMessageW(record.tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
  }
}

void CToolTipDialog::StartFadeIn() {
  KillTimer(hwnd(), kFadeTimer);
  if (IsWindowVisible(hwnd())) {
    ShowWindow(hwnd(), SW_SHOW);
    return;
  }
  fade_.StartIn();
  ApplyAlpha(hwnd(), 0);  // no flash at full opacity before the first tick
  stopwatch_.Read();
  SetTimer(hwnd(), kFadeTimer, kFadePeriodMs, nullptr);
}

void CToolTipDialog::StartFadeOut() {
  KillTimer(hwnd(), kFadeTimer);
  if (!IsWindowVisible(hwnd())) {
    ShowWindow(hwnd(), SW_HIDE);
    // A dialog closed before it was ever shown ends at once.
    if (closeCode_ != CloseCode::None) {
      EndAfterFade(closeCode_);
    }
    return;
  }
  fade_.StartOut();
  stopwatch_.Read();
  SetTimer(hwnd(), kFadeTimer, kFadePeriodMs, nullptr);
}

void CToolTipDialog::FadeTick() {
  const FadeActions actions =
      fade_.Tick(stopwatch_.Read(), FadeDuration, IsWindowVisible(hwnd()) != FALSE, closeCode_);
  if (actions.show) {
    if (actions.clearHoldHidden) {
      holdHidden_ = false;
    }
    showingFromFade_ = true;
    ShowWindow(hwnd(), SW_SHOW);
    showingFromFade_ = false;
  }
  if (actions.hide) {
    ShowWindow(hwnd(), SW_HIDE);
  }
  if (actions.stopTimer) {
    KillTimer(hwnd(), kFadeTimer);
  }
  if (actions.end != CloseCode::None) {
    EndAfterFade(actions.end);
    return;
  }
  if (actions.applyAlpha) {
    ApplyAlpha(hwnd(), actions.alpha);
  }
}

void CToolTipDialog::EndAfterFade(CloseCode code) {
  KillTimer(hwnd(), kFadeTimer);
  Sleep(kEndPauseMs);
  if (parentDisabled_) {
    EnableWindow(parent_, TRUE);
    parentDisabled_ = false;
  }
  if (parent_) {
    SetForegroundWindow(parent_);
    SetFocus(parent_);
  }
  if (runningModal_) {
    EndModal(code == CloseCode::Ok ? IDOK : IDCANCEL);
  } else {
    ShowWindow(hwnd(), SW_HIDE);
    EnableWindow(hwnd(), TRUE);
  }
  closeCode_ = CloseCode::None;
}

bool CToolTipDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kRelayTimer) {
        RelayTick();
        return true;
      }
      if (wParam == kFadeTimer) {
        FadeTick();
        return true;
      }
      return false;
    case WM_SHOWWINDOW:
      if (wParam && !showingFromFade_) {
        StartRelayTimer();
        StartFadeIn();
      }
      return false;
    case WM_WINDOWPOSCHANGING:
      if (holdHidden_ && !IsChild()) {
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
      }
      return false;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_CLOSE) {
        return false;
      }
      if (IsChild()) {
        StartRelayTimer();
        ShowWindow(hwnd(), SW_HIDE);
      } else if (runningModal_) {
        OnCancel();  // a closed modal dialog ends as cancelled
      } else {
        StartFadeOut();
      }
      result = 0;
      return true;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        OnOK();
        return true;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        OnCancel();
        return true;
      }
      return false;
    case WM_DRAWITEM:
      if (OwnerDrawnControl::DrawOwnerDrawn(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
        result = TRUE;
        return true;
      }
      return false;
    case WM_MEASUREITEM:
      if (OwnerDrawnControl::MeasureOwnerDrawn(hwnd(),
                                               *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) {
        result = TRUE;
        return true;
      }
      return false;
    default:
      return false;
  }
}
