#include "toolkit/prompt_dialog_win.h"

#include "base/wide_win.h"
#include "base/wipe.h"
#include "resources/resource_ids.h"
#include "toolkit/button_row_win.h"
#include "toolkit/monitor_win.h"
#include "toolkit/prompt_layout.h"

namespace {

// The owner's window, or the whole monitor under the mouse.
AnchorRect AnchorFor(HWND owner) {
  RECT rect{};
  if (owner && GetWindowRect(owner, &rect)) {
    return {rect.left, rect.top, rect.right, rect.bottom};
  }
  rect = MonitorRectUnderCursor();
  return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

CPromptDlg::CPromptDlg(HWND parent) : CToolTipDialog(IDD_PROMPT, parent) {}

CPromptDlg::~CPromptDlg() {
  ReleaseBitmap();
  if (memoryDc_) {
    DeleteDC(memoryDc_);
  }
}

std::u16string CPromptDlg::PromptOne(std::u16string_view caption, std::u16string_view message,
                                     COLORREF textColor, COLORREF faceColor, int fontHeight) {
  const PromptChoice choice{caption, {textColor, faceColor}};
  return Run(message, std::span(&choice, 1), fontHeight);
}

std::u16string CPromptDlg::PromptTwo(std::u16string_view caption1, std::u16string_view caption2,
                                     std::u16string_view message, COLORREF textColor1,
                                     COLORREF faceColor1, COLORREF textColor2, COLORREF faceColor2,
                                     int fontHeight) {
  const PromptChoice choices[] = {{caption1, {textColor1, faceColor1}},
                                  {caption2, {textColor2, faceColor2}}};
  return Run(message, choices, fontHeight);
}

std::u16string CPromptDlg::PromptOk(std::u16string_view message, COLORREF textColor,
                                    COLORREF faceColor, int fontHeight) {
  return PromptOne(u"OK", message, textColor, faceColor, fontHeight);
}

void CPromptDlg::ShowMessage(std::u16string_view message) {
  PromptOk(message, kPositiveChoice.text, kPositiveChoice.face, kPromptFontHeight);
}

void CPromptDlg::ShowMessageAndWipe(std::u16string& message) {
  ShowMessage(message);
  Wipe(message);
}

std::u16string CPromptDlg::Run(std::u16string_view message, std::span<const PromptChoice> choices,
                               int fontHeight) {
  session_.Prepare(message, choices);
  fontHeight_ = fontHeight;
  DoModalTemplate(IDD_PROMPT);
  session_.WipeShownTexts();  // also when the window never came up
  return session_.result();
}

void CPromptDlg::ReleaseBitmap() {
  if (bitmap_) {
    SelectObject(memoryDc_, originalBitmap_);
    DeleteObject(bitmap_);
    bitmap_ = nullptr;
  }
  bitmapWidth_ = 0;
  bitmapHeight_ = 0;
}

void CPromptDlg::ResizeBitmap(int width, int height) {
  if (!memoryDc_) {
    memoryDc_ = CreateCompatibleDC(nullptr);
  }
  ReleaseBitmap();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(memoryDc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_) {
    originalBitmap_ = SelectObject(memoryDc_, bitmap_);
    bitmapWidth_ = width;
    bitmapHeight_ = height;
  }
}

void CPromptDlg::SetClientSize(int x, int y, int width, int height) {
  if (lastClientSize_.cx == width && lastClientSize_.cy == height) {
    return;
  }
  lastClientSize_ = SIZE{width, height};
  // The frame: what the window adds around its client area.
  SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT window{};
  RECT client{};
  GetWindowRect(hwnd(), &window);
  GetClientRect(hwnd(), &client);
  const int frameWidth = (window.right - window.left) - client.right;
  const int frameHeight = (window.bottom - window.top) - client.bottom;
  SetWindowPos(hwnd(), nullptr, x, y, width + frameWidth, height + frameHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CPromptDlg::OnInitDialog() {
  initialised_ = false;
  lastClientSize_ = SIZE{-1, -1};  // a new window has not been sized yet
  font_.Create(kMessageFaces, fontHeight_);
  button1_.Attach(hwnd(), IDC_PROMPT_CHOICE1);
  button2_.Attach(hwnd(), IDC_PROMPT_CHOICE2);
  button1_.SetColors(session_.colors(0).text, session_.colors(0).face);
  button2_.SetColors(session_.colors(1).text, session_.colors(1).face);
  if (font_.handle()) {
    SendMessageW(button1_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.handle()), FALSE);
    SendMessageW(button2_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.handle()), FALSE);
  }

  if (bitmapWidth_ == 0 || bitmapHeight_ == 0) {
    ResizeBitmap(100, 100);
  }
  HGDIOBJ oldFont = font_.handle() ? SelectObject(memoryDc_, font_.handle()) : nullptr;
  const std::u16string& message = session_.message();
  RECT measured{0, 0, 1, 1};
  DrawTextW(memoryDc_, AsWide(message), -1, &measured, DT_CALCRECT | DT_NOCLIP);
  const PromptGeometry geometry = PlacePrompt(measured.right - measured.left,
                                              measured.bottom - measured.top, AnchorFor(parent()));
  ResizeBitmap(geometry.messageWidth, geometry.messageHeight);
  RECT area{0, 0, geometry.messageWidth, geometry.messageHeight};
  FillRect(memoryDc_, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SetBkMode(memoryDc_, TRANSPARENT);
  SetTextColor(memoryDc_, RGB(255, 255, 255));
  DrawTextW(memoryDc_, AsWide(message), -1, &measured, DT_CENTER | DT_NOCLIP);

  SetClientSize(geometry.x, geometry.y, geometry.clientWidth, geometry.clientHeight);
  button1_.SetCaption(session_.caption(0));
  if (session_.mode() == 2) {
    button2_.SetCaption(session_.caption(1));
    LayoutButtonRow(hwnd(), geometry.messageHeight, kPromptButtonRowHeight,
                    {button1_.hwnd(), button2_.hwnd()});
    ShowWindow(button2_.hwnd(), SW_SHOW);
    EnableWindow(button2_.hwnd(), TRUE);
  } else {
    LayoutButtonRow(hwnd(), geometry.messageHeight, kPromptButtonRowHeight, {button1_.hwnd()});
    ShowWindow(button2_.hwnd(), SW_HIDE);
    EnableWindow(button2_.hwnd(), FALSE);
  }
  ShowWindow(button1_.hwnd(), SW_SHOW);
  EnableWindow(button1_.hwnd(), TRUE);

  if (oldFont) {
    SelectObject(memoryDc_, oldFont);
  }
  session_.WipeShownTexts();
  if (HDC client = GetDC(hwnd())) {
    CopyBitmapTo(client);
    ReleaseDC(hwnd(), client);
  }
  initialised_ = true;
  SetWindowPosKeepTips(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  return TRUE;
}

void CPromptDlg::CopyBitmapTo(HDC target) const {
  if (bitmapWidth_ > 0 && bitmapHeight_ > 0) {
    BitBlt(target, 0, 0, bitmapWidth_, bitmapHeight_, memoryDc_, 0, 0, SRCCOPY);
  }
}

bool CPromptDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_ERASEBKGND:
      CopyBitmapTo(reinterpret_cast<HDC>(wParam));
      result = TRUE;
      return true;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC target = BeginPaint(hwnd(), &paint);
      CopyBitmapTo(target);
      EndPaint(hwnd(), &paint);
      result = 0;
      return true;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED &&
          (LOWORD(wParam) == IDC_PROMPT_CHOICE1 || LOWORD(wParam) == IDC_PROMPT_CHOICE2)) {
        if (!IsClosing()) {
          const CFlatColorButton& pressed =
              LOWORD(wParam) == IDC_PROMPT_CHOICE1 ? button1_ : button2_;
          session_.Press(pressed.Caption());
          OnOK();
        }
        return true;
      }
      break;
    default:
      break;
  }
  return CToolTipDialog::OnMessage(message, wParam, lParam, result);
}

bool CPromptDlg::PreTranslate(const MSG& msg) {
  return msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
}
