// The "[ADL] GPU-Picker" page: the GPUs the ADL helper reaches on the left,
// the chosen ones on the right, ">" and "<" between them.
#pragma once

#include "settings_ui/gpu_picker.h"
#include "toolkit/bitmap_list_box_win.h"
#include "toolkit/flat_color_button_win.h"
#include "toolkit/simple_blit_edit_win.h"
#include "toolkit/tooltip_dialog_win.h"

class CGPUSelectionDlg : public CToolTipDialog {
 public:
  CGPUSelectionDlg(CGeneralSettings_ConfigFile& settings, CriticalSection_Wrapper& settingsLock,
                   SharedBlock& block, Prompts& prompts);

  // The controller's poll of the helper's GPU table.
  void RefreshDetectedGpus();
  std::vector<std::u16string> CopySelection() const { return model_.CopySelection(); }
  bool PreTranslate(const MSG& msg) override;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void LayoutGpuTab();
  void ShowLists();
  // Tells the model the lists' current entries before a move.
  void TakeCurrentEntries();
  void Select();
  void Deselect();

  GpuPickerModel model_;
  RECT selectButton_{};
  CBitmapListBox available_;
  CBitmapListBox selected_;
  CFlatColorButton select_;
  CFlatColorButton deselect_;
  SimpleBlitEdit selectedHeader_;
  SimpleBlitEdit availableHeader_;
};
