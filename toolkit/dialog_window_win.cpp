#include "toolkit/dialog_window_win.h"

#include <map>

namespace {

// Dialogs of the user-interface thread by window, for key pre-translation.
std::map<HWND, DialogWindow*>& Dialogs() {
  static std::map<HWND, DialogWindow*> dialogs;
  return dialogs;
}

}  // namespace

DialogWindow::~DialogWindow() {
  if (HWND window = hwnd_.load()) {
    DestroyWindow(window);
  }
}

bool DialogWindow::Create(int templateId, HWND parent) {
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                            &DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR DialogWindow::RunModal() {
  modalEnded_ = false;
  while (!modalEnded_ && hwnd_.load()) {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) {
      break;
    }
    if (!PreTranslateForDialogs(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (HWND window = hwnd_.load()) {
    DestroyWindow(window);
  }
  return modalResult_;
}

void DialogWindow::EndModal(INT_PTR result) {
  modalResult_ = result;
  modalEnded_ = true;
  if (HWND window = hwnd_.load()) {
    PostMessageW(window, WM_NULL, 0, 0);  // wakes the loop
  }
}

bool DialogWindow::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
  return false;
}

bool DialogWindow::PreTranslate(const MSG&) {
  return false;
}

bool DialogWindow::PreTranslateForDialogs(MSG& msg) {
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  const auto found = Dialogs().find(root);
  if (found == Dialogs().end()) {
    return false;
  }
  return found->second->PreTranslate(msg) || IsDialogMessageW(root, &msg);
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<DialogWindow*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
    Dialogs()[hwnd] = self;
    return self->OnInitDialog();
  }
  auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) {
    return FALSE;
  }
  if (message == WM_DESTROY) {
    self->OnDestroyWindow();
  }
  LRESULT result = 0;
  const bool handled = self->OnMessage(message, wParam, lParam, result);
  if (message == WM_NCDESTROY) {
    Dialogs().erase(hwnd);
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  if (!handled) {
    return FALSE;
  }
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}
