// A dialog built from a resource template, run modeless or as a modal loop
// of our own so that a dialog may see keys before the dialog manager does.
#pragma once

#include <windows.h>

#include <atomic>

class DialogWindow {
 public:
  DialogWindow() = default;
  virtual ~DialogWindow();
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  // Creates the window from the template in the executable's resources.
  bool Create(int templateId, HWND parent);
  // Runs the message loop until EndModal, then destroys the window.
  INT_PTR RunModal();
  void EndModal(INT_PTR result);

  HWND hwnd() const { return hwnd_.load(); }

  // Returns true to swallow a queued message before the dialog manager.
  // A window with pages passes key messages on to its current page.
  virtual bool PreTranslate(const MSG& msg);

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  // Returns true when the message was handled; result is its answer.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  virtual void OnDestroyWindow() {}

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static bool PreTranslateForDialogs(MSG& msg);

  std::atomic<HWND> hwnd_{nullptr};
  bool modalEnded_ = false;
  INT_PTR modalResult_ = 0;
};
