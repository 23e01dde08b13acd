// The list picker: a list of texts, Cancel and Select. Return selects,
// Escape does nothing, Up and Down move the selection.
#pragma once

#include <string>
#include <string_view>

#include "settings_ui/list_picker.h"
#include "settings_ui/list_selection.h"
#include "toolkit/bitmap_list_box_win.h"
#include "toolkit/flat_color_button_win.h"
#include "toolkit/tooltip_dialog_win.h"

class CListSelectionDlg : public CToolTipDialog {
 public:
  explicit CListSelectionDlg(HWND parent = nullptr);

  void SetSelectionTitle(std::u16string_view title) { selection_.SetSelectionTitle(title); }
  void AddItem(std::u16string_view text, bool allowDuplicates = false) {
    selection_.AddItem(text, allowDuplicates);
  }
  // Runs the picker; true when it ended with a choice.
  bool Run();
  // The chosen text; empty when the user cancelled.
  const std::u16string& GetSelection() const { return result_; }
  bool PreTranslate(const MSG& msg) override;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Layout();
  void Select();

  ListSelection selection_;
  std::u16string result_;
  CBitmapListBox list_;
  CFlatColorButton cancel_;
  CFlatColorButton select_;
};

// The list picker as a dialog owned by a window.
class DialogListPicker : public ListPicker {
 public:
  explicit DialogListPicker(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  std::u16string PickFromList(std::u16string_view title,
                              const std::vector<std::u16string>& items) override;

 private:
  HWND owner_;
};
