#include "settings_ui/general_settings_tab_win.h"

#include "resources/resource_ids.h"

namespace {

constexpr COLORREF kPageFace = kGeneralPageBackground;
constexpr COLORREF kText = RGB(255, 255, 255);
constexpr COLORREF kButtonFace = RGB(140, 140, 140);
constexpr COLORREF kHeaderText = RGB(255, 150, 100);

}  // namespace

CGeneralSettingsTabDlg::CGeneralSettingsTabDlg(GeneralTabServices services)
    : CToolTipDialog(IDD_GENERAL_TAB, nullptr), model_(std::move(services)) {}

CGeneralSettingsTabDlg::~CGeneralSettingsTabDlg() {
  if (background_) {
    DeleteObject(background_);
  }
}

BOOL CGeneralSettingsTabDlg::OnInitDialog() {
  background_ = CreateSolidBrush(kPageFace);
  for (const GeneralControl& control : GeneralTabControls()) {
    switch (control.kind) {
      case GeneralControlKind::Header:
      case GeneralControlKind::Display: {
        auto text = std::make_unique<SimpleBlitEdit>();
        text->Attach(hwnd(), control.id);
        const bool header = control.kind == GeneralControlKind::Header;
        text->SetColors(header ? kHeaderText : kText, kPageFace);
        text->SetText(control.caption, kGeneralTextMaxFontHeight);
        texts_[control.id] = std::move(text);
        break;
      }
      case GeneralControlKind::CheckBox:
      case GeneralControlKind::Choice:
      case GeneralControlKind::Button: {
        auto button = std::make_unique<CFlatColorButton>();
        button->Attach(hwnd(), control.id);
        const bool box = control.kind != GeneralControlKind::Button;
        button->SetCheckBox(box);
        button->SetColors(kText, box ? kPageFace : kButtonFace);
        buttons_[control.id] = std::move(button);
        break;
      }
    }
    if (!control.tooltip.empty()) {
      AddToolTip(GetDlgItem(hwnd(), control.id), control.tooltip);
    }
  }
  LayoutGeneralTab();
  model_.Initialize();
  ShowView();
  return TRUE;
}

void CGeneralSettingsTabDlg::Refresh() {
  if (hwnd()) {
    model_.Initialize();
    ShowView();
  }
}

void CGeneralSettingsTabDlg::LayoutGeneralTab() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  for (const ControlPlacement& place : ::LayoutGeneralTab(client.right, scroll_.Position())) {
    MoveWindow(GetDlgItem(hwnd(), place.id), place.x, place.y, place.width, place.height, TRUE);
  }
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = scroll_.HasRange() ? scroll_.Extent() - 1 : 0;
  info.nPage = static_cast<UINT>(scroll_.HasRange() ? scroll_.Page() : 0);
  info.nPos = scroll_.Position();
  SetScrollInfo(hwnd(), SB_VERT, &info, TRUE);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void CGeneralSettingsTabDlg::Scrolled(int moved) {
  if (moved != 0) {
    LayoutGeneralTab();
  }
}

void CGeneralSettingsTabDlg::ShowView() {
  const GeneralTabView& view = model_.View();
  for (const auto& [id, checked] : view.checked) {
    if (auto found = buttons_.find(id); found != buttons_.end()) {
      found->second->SetCheck(checked);
    }
  }
  for (const auto& [id, text] : view.texts) {
    if (auto found = texts_.find(id); found != texts_.end()) {
      found->second->SetText(text, kGeneralTextMaxFontHeight);
    }
  }
}

bool CGeneralSettingsTabDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result) {
  switch (message) {
    case WM_SIZE: {
      RECT client{};
      GetClientRect(hwnd(), &client);
      scroll_.Resize(kGeneralContentHeight, client.bottom);
      LayoutGeneralTab();
      return false;
    }
    case WM_VSCROLL:
      switch (LOWORD(wParam)) {
        case SB_LINEUP:
          Scrolled(scroll_.LineUp());
          break;
        case SB_LINEDOWN:
          Scrolled(scroll_.LineDown());
          break;
        case SB_PAGEUP:
          Scrolled(scroll_.PageUp());
          break;
        case SB_PAGEDOWN:
          Scrolled(scroll_.PageDown());
          break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
          Scrolled(scroll_.ThumbTo(HIWORD(wParam)));
          break;
        default:
          break;
      }
      result = 0;
      return true;
    case WM_MOUSEWHEEL: {
      UINT lines = 3;
      SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      Scrolled(scroll_.Wheel(GET_WHEEL_DELTA_WPARAM(wParam), lines));
      result = 0;
      return true;
    }
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      result = reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
      return true;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      result = reinterpret_cast<LRESULT>(background_);
      return true;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd(), &client);
      client.top = std::max<LONG>(0, kGeneralContentHeight - scroll_.Position());
      FillRect(reinterpret_cast<HDC>(wParam), &client, background_);
      result = TRUE;
      return true;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && model_.OnCommand(LOWORD(wParam))) {
        ShowView();
        return true;
      }
      break;
    default:
      break;
  }
  return CToolTipDialog::OnMessage(message, wParam, lParam, result);
}
