// A prompt: the message rendered once into an off-screen bitmap, and one or
// two coloured choice buttons. It answers with the pressed button's caption.
// Prompts are always topmost; Enter and Escape do nothing in them.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/flat_color_button_win.h"
#include "toolkit/gdi_font_win.h"
#include "toolkit/prompt_session.h"
#include "toolkit/tooltip_dialog_win.h"

class CPromptDlg : public CToolTipDialog {
 public:
  explicit CPromptDlg(HWND parent = nullptr);
  ~CPromptDlg() override;

  std::u16string PromptOne(std::u16string_view caption, std::u16string_view message,
                           COLORREF textColor, COLORREF faceColor, int fontHeight);
  std::u16string PromptTwo(std::u16string_view caption1, std::u16string_view caption2,
                           std::u16string_view message, COLORREF textColor1, COLORREF faceColor1,
                           COLORREF textColor2, COLORREF faceColor2, int fontHeight);
  std::u16string PromptOk(std::u16string_view message, COLORREF textColor, COLORREF faceColor,
                          int fontHeight);
  void ShowMessage(std::u16string_view message);
  void ShowMessageAndWipe(std::u16string& message);

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool PreTranslate(const MSG& msg) override;

 private:
  std::u16string Run(std::u16string_view message, std::span<const PromptChoice> choices,
                     int fontHeight);
  void ResizeBitmap(int width, int height);
  void ReleaseBitmap();
  void SetClientSize(int x, int y, int width, int height);
  void CopyBitmapTo(HDC target) const;

  HDC memoryDc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ originalBitmap_ = nullptr;
  int bitmapWidth_ = 0;
  int bitmapHeight_ = 0;
  SIZE lastClientSize_{-1, -1};
  PromptSession session_;
  int fontHeight_ = 1;
  GDIFont font_;
  CFlatColorButton button1_;
  CFlatColorButton button2_;
  bool initialised_ = false;
};
