// The log viewer's window as the controller uses it.
#pragma once

class LogViewerWindow {
 public:
  virtual ~LogViewerWindow() = default;
  // Creates the window hidden, owned by the controller's window.
  virtual bool Create() = 0;
  // Fades the window in and makes it the foreground window with the focus.
  virtual void Show() = 0;
  // Asks for a file and saves the whole log there.
  virtual void SaveLogAs() = 0;
  // The modal guard disables the viewer while another action runs.
  virtual void Enable(bool enabled) = 0;
};
