#include "app/log_viewer_window_win.h"

#include <vector>

#include "base/format.h"
#include "base/wide_win.h"
#include "resources/resource_ids.h"
#include "toolkit/file_dialog_win.h"
#include "toolkit/window_icons_win.h"

namespace {

constexpr UINT_PTR kFlushTimer = 1;
constexpr UINT kFlushPeriodMs = 2000;
constexpr COLORREF kLineText = RGB(0, 255, 0);
constexpr COLORREF kLineFace = RGB(50, 50, 50);
constexpr int kMaxLines = 10000;

}  // namespace

LogViewerDialog::LogViewerDialog(HWND parent, LogBook& book, Prompts& prompts)
    : CToolTipDialog(IDD_LOG_VIEWER, parent), book_(book), prompts_(prompts) {}

LogViewerDialog::~LogViewerDialog() {
  book_.SetListener(nullptr);
}

BOOL LogViewerDialog::OnInitDialog() {
  SetWindowIcons(hwnd(), IDI_CLOCK_FREE);
  book_.Append(u"Initialized", CurrentLocalTime());
  list_.Attach(hwnd(), IDC_LOG_LINES);
  list_.SetColors(kLineText, kLineFace);
  SetTimer(hwnd(), kFlushTimer, kFlushPeriodMs, nullptr);
  RECT client{};
  GetClientRect(hwnd(), &client);
  MoveWindow(list_.hwnd(), 0, 0, client.right, client.bottom, TRUE);
  book_.SetListener(this);
  return TRUE;
}

void LogViewerDialog::OnLogPending() {
  if (HWND window = hwnd()) {
    PostMessageW(window, WM_TIMER, kFlushTimer, 0);
  }
}

void LogViewerDialog::FlushPendingLog() {
  const LogFollowMode mode = DecideFollowMode(list_.CurrentIndex(), list_.Count());
  const std::size_t moved = book_.FlushPendingLog();
  const std::deque<std::u16string>& committed = book_.Committed();
  const std::size_t fresh = std::min(moved, committed.size());
  for (std::size_t i = committed.size() - fresh; i < committed.size(); ++i) {
    list_.Append(committed[i]);
    while (list_.Count() > kMaxLines) {
      list_.DeleteFirst();
    }
  }
  if (fresh == 0 || list_.Count() == 0) {
    return;
  }
  if (mode == LogFollowMode::Tail) {
    list_.SetCurrentIndex(list_.Count() - 1);
  } else if (mode == LogFollowMode::Top) {
    list_.SetCurrentIndex(0);
  }
}

void LogViewerDialog::SaveLogAs() {
  if (const auto path = AskFileName(FileDialogKind::Save, hwnd(), L"Log-File (*.txt)\0*.txt\0\0",
                                    L"txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT)) {
    SaveLogTo(*path);
  }
}

void LogViewerDialog::SaveLogTo(const std::u16string& path) {
  HANDLE file = CreateFileW(AsWide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    prompts_.ShowMessage(u"Failed to open file.");
    return;
  }
  std::vector<std::u16string> lines;
  for (int i = 0; i < list_.Count(); ++i) {
    lines.push_back(list_.Text(i));
  }
  const std::string bytes = EncodeSavedLog(lines);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  prompts_.ShowMessage(Format(u"Wrote log to \"%s\"", path));
}

bool LogViewerDialog::PreTranslate(const MSG& msg) {
  return msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
}

bool LogViewerDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kFlushTimer) {
        FlushPendingLog();
        return true;
      }
      break;
    case WM_SIZE:
      if (list_.hwnd()) {
        RECT client{};
        GetClientRect(hwnd(), &client);
        MoveWindow(list_.hwnd(), 0, 0, client.right, client.bottom, TRUE);
      }
      return false;
    case WM_ERASEBKGND:
      result = TRUE;
      return true;
    case WM_CTLCOLORLISTBOX:
      SetBkColor(reinterpret_cast<HDC>(wParam), kLineFace);
      result = reinterpret_cast<LRESULT>(list_.FaceBrush());
      return true;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        ShowFaded(SW_HIDE);
        result = 0;
        return true;
      }
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == ID_LOG_SAVE_AS && lParam == 0) {
        SaveLogAs();
        return true;
      }
      break;
    default:
      break;
  }
  return CToolTipDialog::OnMessage(message, wParam, lParam, result);
}

bool Win32LogViewerWindow::Create() {
  dialog_ = std::make_unique<LogViewerDialog>(owner_.hwnd(), log_(), prompts_);
  if (!dialog_->CreateModeless()) {
    dialog_.reset();
    return false;
  }
  ShowWindow(dialog_->hwnd(), SW_HIDE);
  return true;
}

void Win32LogViewerWindow::Show() {
  if (dialog_) {
    dialog_->ShowFaded(SW_SHOW);
    SetForegroundWindow(dialog_->hwnd());
    SetFocus(dialog_->hwnd());
  }
}

void Win32LogViewerWindow::SaveLogAs() {
  if (dialog_) {
    dialog_->FlushPendingLog();
    dialog_->SaveLogAs();
  }
}

void Win32LogViewerWindow::Enable(bool enabled) {
  if (dialog_ && dialog_->hwnd()) {
    EnableWindow(dialog_->hwnd(), enabled);
  }
}
