#include "toolkit/about_dlg_win.h"

#include "base/wide_win.h"
#include "resources/resource_ids.h"
#include "toolkit/monitor_win.h"
#include "toolkit/prompts.h"

namespace {

constexpr UINT_PTR kAnimationTimer = 1;
constexpr UINT kAnimationPeriodMs = 10;
constexpr COLORREF kOutline = 0x00FFFF;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kBlue = 0xFF0000;
constexpr int kCornerWidth = 128;

std::u16string Lines(std::initializer_list<std::u16string> lines) {
  std::u16string text;
  for (const std::u16string& line : lines) {
    text += (line.empty() ? u" " : line) + u"\r\n";
  }
  return text;
}

}  // namespace

CAboutDlg::CAboutDlg(HWND parent, std::u16string titleLine, std::u16string buildStamp,
                     std::u16string legalNotice)
    : CToolTipDialog(IDD_ABOUT, parent) {
  blocks_[0] = Lines(
      {titleLine, u"", u"Build Date: " + buildStamp, u"", legalNotice, u"Brought to you by "});
  blocks_[1] = Lines({u"", u"**Say \"NO\" to downclocking**", u"", u"", u"", u""});
  blocks_[2] = Lines({u"", u"", u"", u"", u"", u"Brought to you by Pelmora"});
}

BOOL CAboutDlg::OnInitDialog() {
  ok_.Attach(hwnd(), IDC_ABOUT_OK);
  ok_.SetColors(kPositiveChoice.text, kPositiveChoice.face);
  corner_ = LoadPicture(IDB_ABOUT_CORNER);
  banner_ = LoadPicture(IDB_ABOUT_BANNER);
  return TRUE;
}

SIZE CAboutDlg::DrawingArea() const {
  RECT client{};
  GetClientRect(hwnd(), &client);
  RECT button{};
  GetWindowRect(ok_.hwnd(), &button);
  return SIZE{client.right, std::max<LONG>(0, client.bottom - (button.bottom - button.top))};
}

void CAboutDlg::ShowAbout() {
  const RECT monitor = MonitorRectUnderCursor();
  RECT window{};
  GetWindowRect(hwnd(), &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  SetWindowPos(hwnd(), nullptr, monitor.left + (monitor.right - monitor.left - width) / 2,
               monitor.top + (monitor.bottom - monitor.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const SIZE area = DrawingArea();
  frame_.Create(area.cx, area.cy);
  fontHeight_ = AboutFontHeight(std::max<LONG>(1, area.cy), [&](int candidate) {
    GDIFont font;
    if (!font.Create(kMessageFaces, candidate) || !frame_.valid()) {
      return false;
    }
    HGDIOBJ old = SelectObject(frame_.dc(), font.handle());
    RECT measured{0, 0, area.cx, 0};
    ::DrawTextW(frame_.dc(), AsWide(blocks_[0]), -1, &measured, DT_CALCRECT | DT_NOCLIP);
    SelectObject(frame_.dc(), old);
    return measured.right <= area.cx && measured.bottom <= area.cy;
  });
  font_.Create(kMessageFaces, fontHeight_);
  if (!timerRuns_) {
    stopwatch_.Read();
    timerRuns_ = SetTimer(hwnd(), kAnimationTimer, kAnimationPeriodMs, nullptr) != 0;
  }
  InvalidateRect(hwnd(), nullptr, TRUE);
  ShowFaded(SW_SHOW);
}

void CAboutDlg::HideAbout() {
  KillTimer(hwnd(), kAnimationTimer);
  timerRuns_ = false;
  frame_.Release();
  particles_.Clear();
  ShowFaded(SW_HIDE);
}

void CAboutDlg::DrawText(const std::u16string& block, COLORREF colour, int dx, int dy,
                         const RECT& area) {
  RECT target{area.left + dx, area.top + dy, area.right + dx, area.bottom + dy};
  SetTextColor(frame_.dc(), colour);
  ::DrawTextW(frame_.dc(), AsWide(block), -1, &target, DT_LEFT | DT_NOCLIP);
}

void CAboutDlg::DrawPicture(const PixelBuffer& picture, int x, int y, int width, int height) {
  if (picture.width() == 0) {
    return;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width();
  info.bmiHeader.biHeight = -picture.height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  DibSurface source;
  if (!source.Create(picture.width(), picture.height())) {
    return;
  }
  SetDIBitsToDevice(source.dc(), 0, 0, picture.width(), picture.height(), 0, 0, 0, picture.height(),
                    picture.view().bits, &info, DIB_RGB_COLORS);
  SetStretchBltMode(frame_.dc(), COLORONCOLOR);
  // Magenta pixels are the mask: they leave the frame as it is.
  TransparentBlt(frame_.dc(), x, y, width, height, source.dc(), 0, 0, picture.width(),
                 picture.height(), RGB(255, 0, 255));
}

void CAboutDlg::Frame() {
  const SIZE area = DrawingArea();
  if (!frame_.Create(area.cx, area.cy)) {
    return;
  }
  const auto elapsed = static_cast<std::int64_t>(stopwatch_.Read());
  particles_.StepAndDraw(elapsed, frame_.view());
  GdiFlush();
  HGDIOBJ oldFont = font_.handle() ? SelectObject(frame_.dc(), font_.handle()) : nullptr;
  SetBkMode(frame_.dc(), TRANSPARENT);
  RECT measured{0, 0, area.cx, 0};
  ::DrawTextW(frame_.dc(), AsWide(blocks_[0]), -1, &measured, DT_CALCRECT | DT_NOCLIP);
  const RECT text{0, 0, area.cx, measured.bottom};
  for (const std::u16string& block : blocks_) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        if (dx != 0 || dy != 0) {
          DrawText(block, kOutline, dx, dy, text);
        }
      }
    }
  }
  DrawText(blocks_[2], kBlue, 0, 0, text);
  DrawText(blocks_[0], kRed, 0, 0, text);
  DrawText(blocks_[1], kGreen, 0, 0, text);
  if (oldFont) {
    SelectObject(frame_.dc(), oldFont);
  }
  DrawPicture(corner_, area.cx - corner_.width(), area.cy - corner_.height(), corner_.width(),
              corner_.height());
  if (banner_.width() > 0) {
    const int width = std::max(0, static_cast<int>(area.cx) - kCornerWidth);
    const int height = width * banner_.height() / banner_.width();
    DrawPicture(banner_, 0, area.cy - height, width, height);
  }
  particles_.Spawn(elapsed, area.cx, area.cy);
  if (HDC dc = GetDC(hwnd())) {
    frame_.CopyTo(dc);
    ReleaseDC(hwnd(), dc);
  }
}

bool CAboutDlg::PreTranslate(const MSG& msg) {
  return msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
}

bool CAboutDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kAnimationTimer) {
        Frame();
        return true;
      }
      break;
    case WM_ERASEBKGND:
      frame_.CopyTo(reinterpret_cast<HDC>(wParam));
      result = TRUE;
      return true;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_ABOUT_OK && HIWORD(wParam) == BN_CLICKED) {
        HideAbout();
        return true;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        HideAbout();
        result = 0;
        return true;
      }
      break;
    default:
      break;
  }
  return CToolTipDialog::OnMessage(message, wParam, lParam, result);
}
