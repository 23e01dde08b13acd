#include "settings_ui/tabbed_settings_dlg_win.h"

#include <commctrl.h>

#include "resources/resource_ids.h"
#include "toolkit/window_icons_win.h"

namespace {

constexpr UINT_PTR kTooltipKeepAliveTimer = 10001;
constexpr UINT kTooltipKeepAlivePeriodMs = 500;
constexpr LONG kMinimumTrackWidth = 300;
constexpr LONG kMinimumTrackHeight = 200;

}  // namespace

CTabbedSettingsDlg::CTabbedSettingsDlg(int templateId, HWND parent)
    : CToolTipDialog(templateId, parent) {}

BOOL CTabbedSettingsDlg::OnInitDialog() {
  tabControl_.Attach(hwnd(), IDC_SETTINGS_TABS);
  SetWindowIcons(hwnd(), IDI_CLOCK_FREE);
  FillTabs(tabs_);
  for (std::size_t i = 0; i < tabs_.size(); ++i) {
    if (tabs_[i].page && tabs_[i].page->hwnd()) {
      tabs_[i].page->ShowFaded(SW_HIDE);
    }
    tabControl_.InsertTab(static_cast<int>(i), tabs_[i].text);
  }
  Layout();
  SetTimer(hwnd(), kTooltipKeepAliveTimer, kTooltipKeepAlivePeriodMs, nullptr);
  return TRUE;
}

void CTabbedSettingsDlg::Layout() {
  if (!hwnd() || !tabControl_.hwnd()) {
    return;
  }
  RECT client{};
  GetClientRect(hwnd(), &client);
  MoveWindow(tabControl_.hwnd(), 0, 0, client.right, client.bottom, TRUE);
  const int count = static_cast<int>(tabs_.size());
  if (current_ < 0 || (count > 0 && current_ >= count)) {
    current_ = 0;
  }
  ShowTab(current_);
}

bool CTabbedSettingsDlg::ShowTab(int index) {
  const RECT area = tabControl_.PageArea(hwnd());
  if (index < 0 || index >= static_cast<int>(tabs_.size())) {
    return false;
  }
  for (int i = 0; i < static_cast<int>(tabs_.size()); ++i) {
    CToolTipDialog* page = tabs_[static_cast<std::size_t>(i)].page;
    if (!page || !page->hwnd()) {
      continue;
    }
    if (i == index) {
      page->SetWindowPosKeepTips(HWND_TOP, area.left, area.top, area.right - area.left,
                                 area.bottom - area.top, SWP_SHOWWINDOW);
      page->ShowFaded(SW_SHOW);
      InvalidateRect(page->hwnd(), nullptr, TRUE);
      SetForegroundWindow(hwnd());
      SetFocus(hwnd());
      SetForegroundWindow(page->hwnd());
      SetFocus(page->hwnd());
      tabControl_.Select(index);
      current_ = index;
    } else if (IsWindowVisible(page->hwnd())) {
      page->ShowFaded(SW_HIDE);
    }
  }
  return true;
}

bool CTabbedSettingsDlg::PreTranslate(const MSG& msg) {
  if (msg.message == WM_KEYDOWN) {
    if (current_ >= 0 && current_ < static_cast<int>(tabs_.size())) {
      // A page that used the key keeps it from its controls.
      if (CToolTipDialog* page = tabs_[static_cast<std::size_t>(current_)].page;
          page && page->hwnd() && page->PreTranslate(msg)) {
        return true;
      }
    }
    if (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) {
      return true;
    }
  }
  return CToolTipDialog::PreTranslate(msg);
}

bool CTabbedSettingsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return false;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == tabControl_.hwnd() && header->code == TCN_SELCHANGE) {
        ShowTab(tabControl_.Focused());
        result = 0;
        return true;
      }
      return false;
    }
    case WM_TIMER:
      if (wParam == kTooltipKeepAliveTimer) {
        for (const TabEntry& tab : tabs_) {
          if (tab.page && tab.page->hwnd() && IsWindowVisible(tab.page->hwnd())) {
            tab.page->RestartToolTipRelay();
          }
        }
        return true;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        ShowFaded(SW_HIDE);
        result = 0;
        return true;
      }
      break;
    case WM_ERASEBKGND:
      result = TRUE;
      return true;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize.x = kMinimumTrackWidth;
      limits->ptMinTrackSize.y = kMinimumTrackHeight;
      result = 0;
      return true;
    }
    default:
      break;
  }
  return CToolTipDialog::OnMessage(message, wParam, lParam, result);
}
