// The fade of a top-level dialog: its alpha moves by the measured time
// since the previous tick over FadeDuration, so a fade lasts about that long
// whatever the timer's real rate.
#pragma once

#include <cstdint>

// What the dialog does with a close request once it has faded out.
enum class CloseCode : std::uint8_t { None = 0, Ok = 1, Cancel = 2 };

// What one fade tick asks of the window, in this order.
struct FadeActions {
  bool show = false;             // show the window (before anything else)
  bool clearHoldHidden = false;  // the first showing of a held-hidden dialog
  bool hide = false;
  bool stopTimer = false;
  // Set when the fade-out of a closing dialog is over: end it with this
  // code; nothing else happens in that tick.
  CloseCode end = CloseCode::None;
  bool applyAlpha = false;
  int alpha = 0;  // 0 to 255
};

class FadeAnimation {
 public:
  // The alpha step for the time since the previous tick; stalls longer than
  // a second count as one second.
  static float StepFor(std::uint64_t elapsedMicroseconds, std::uint64_t fadeDuration);

  void StartIn();
  void StartOut();
  FadeActions Tick(std::uint64_t elapsedMicroseconds, std::uint64_t fadeDuration, bool visible,
                   CloseCode closeCode);

  float alpha() const { return alpha_; }
  bool done() const { return done_; }
  bool fadingOut() const { return fadingOut_; }

 private:
  float alpha_ = 0.0f;
  bool done_ = false;
  bool fadingOut_ = false;
};
