// The About window as the controller uses it.
#pragma once

class AboutWindow {
 public:
  virtual ~AboutWindow() = default;
  // Creates the window hidden, owned by the controller's window.
  virtual bool Create() = 0;
  // Starts its animation and fades it in.
  virtual void Show() = 0;
};
