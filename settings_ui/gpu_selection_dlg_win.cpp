#include "settings_ui/gpu_selection_dlg_win.h"

#include "resources/resource_ids.h"

CGPUSelectionDlg::CGPUSelectionDlg(CGeneralSettings_ConfigFile& settings,
                                   CriticalSection_Wrapper& settingsLock, SharedBlock& block,
                                   Prompts& prompts)
    : CToolTipDialog(IDD_GPU_TAB, nullptr), model_(settings, settingsLock, block, prompts) {}

BOOL CGPUSelectionDlg::OnInitDialog() {
  available_.Attach(hwnd(), IDC_GPU_AVAILABLE);
  selected_.Attach(hwnd(), IDC_GPU_SELECTED);
  select_.Attach(hwnd(), IDC_GPU_SELECT);
  deselect_.Attach(hwnd(), IDC_GPU_DESELECT);
  availableHeader_.Attach(hwnd(), IDC_GPU_HEADER_AVAILABLE);
  selectedHeader_.Attach(hwnd(), IDC_GPU_HEADER_SELECTED);
  GetWindowRect(select_.hwnd(), &selectButton_);
  selectButton_.top = 0;
  selectButton_.bottom = 25;
  availableHeader_.SetText(kAvailableGpusHeader, kGpuHeaderMaxFontHeight);
  selectedHeader_.SetText(kSelectedGpusHeader, kGpuHeaderMaxFontHeight);
  model_.Initialize();
  AddToolTip(available_.hwnd(), kAvailableGpusTip);
  AddToolTip(selected_.hwnd(), kSelectedGpusTip);
  AddToolTip(deselect_.hwnd(), kDeselectGpuTip);
  AddToolTip(select_.hwnd(), kSelectGpuTip);
  select_.SetColors(kGpuSelectColors.text, kGpuSelectColors.face);
  deselect_.SetColors(kGpuDeselectColors.text, kGpuDeselectColors.face);
  available_.SetColors(kGpuListColors.text, kGpuListColors.face);
  selected_.SetColors(kGpuListColors.text, kGpuListColors.face);
  ShowLists();
  LayoutGpuTab();
  return TRUE;
}

void CGPUSelectionDlg::LayoutGpuTab() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int buttonWidth = selectButton_.right - selectButton_.left;
  for (const ControlPlacement& place :
       GpuPickerModel::LayoutGpuTab(client.right, client.bottom, buttonWidth)) {
    HWND control = GetDlgItem(hwnd(), place.id);
    MoveWindow(control, place.x, place.y, place.width, place.height, TRUE);
    InvalidateRect(control, nullptr, TRUE);
  }
}

void CGPUSelectionDlg::ShowLists() {
  const GpuListContent& available = model_.List(GpuList::Available);
  const GpuListContent& selected = model_.List(GpuList::Selected);
  available_.SetTexts(available.entries);
  available_.SetCurrentIndex(available.current);
  selected_.SetTexts(selected.entries);
  selected_.SetCurrentIndex(selected.current);
}

void CGPUSelectionDlg::TakeCurrentEntries() {
  model_.SetCurrent(GpuList::Available, available_.CurrentIndex());
  model_.SetCurrent(GpuList::Selected, selected_.CurrentIndex());
}

void CGPUSelectionDlg::Select() {
  TakeCurrentEntries();
  model_.SelectGpu();
  ShowLists();
}

void CGPUSelectionDlg::Deselect() {
  TakeCurrentEntries();
  model_.DeselectGpu();
  ShowLists();
}

void CGPUSelectionDlg::RefreshDetectedGpus() {
  if (!hwnd()) {
    return;
  }
  TakeCurrentEntries();
  if (model_.RefreshDetectedGpus()) {
    ShowLists();
  }
}

bool CGPUSelectionDlg::PreTranslate(const MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_LEFT) {
    Deselect();
  } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_RIGHT) {
    Select();
  }
  return CToolTipDialog::PreTranslate(msg);
}

bool CGPUSelectionDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_SIZE:
      if (deselect_.hwnd()) {
        LayoutGpuTab();
      }
      return false;
    case WM_ERASEBKGND:
      result = TRUE;
      return true;
    case WM_CTLCOLORLISTBOX: {
      HWND list = reinterpret_cast<HWND>(lParam);
      CBitmapListBox& box = list == available_.hwnd() ? available_ : selected_;
      SetBkColor(reinterpret_cast<HDC>(wParam), kGpuListColors.face);
      result = reinterpret_cast<LRESULT>(box.FaceBrush());
      return true;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if ((id == IDC_GPU_SELECT && code == BN_CLICKED) ||
          (id == IDC_GPU_AVAILABLE && code == LBN_DBLCLK)) {
        Select();
        return true;
      }
      if ((id == IDC_GPU_DESELECT && code == BN_CLICKED) ||
          (id == IDC_GPU_SELECTED && code == LBN_DBLCLK)) {
        Deselect();
        return true;
      }
      break;
    }
    default:
      break;
  }
  return CToolTipDialog::OnMessage(message, wParam, lParam, result);
}
