#include "toolkit/sorted_list_ctrl_win.h"

#include <commctrl.h>

#include "base/wide_win.h"

bool CSortedListCtrl::Attach(HWND dialog, int controlId) {
  list_ = GetDlgItem(dialog, controlId);
  if (list_) {
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  }
  return list_ != nullptr;
}

void CSortedListCtrl::SetColumns(const std::vector<std::u16string>& titles) {
  while (ListView_DeleteColumn(list_, 0)) {
  }
  for (std::size_t i = 0; i < titles.size(); ++i) {
    std::u16string title = titles[i];
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 80;
    column.pszText = const_cast<wchar_t*>(AsWide(title));
    SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  columns_ = titles.size();
}

void CSortedListCtrl::SetBackground(COLORREF face) {
  ListView_SetBkColor(list_, face);
  ListView_SetTextBkColor(list_, face);
}

void CSortedListCtrl::SetRows(const std::vector<Row>& rows) {
  rows_ = rows;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  int count = ListView_GetItemCount(list_);
  while (count > static_cast<int>(rows.size())) {
    ListView_DeleteItem(list_, --count);
  }
  while (count < static_cast<int>(rows.size())) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = count++;
    item.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  for (std::size_t row = 0; row < rows.size(); ++row) {
    for (std::size_t column = 0; column < rows[row].cells.size() && column < columns_; ++column) {
      LVITEMW item{};
      item.iSubItem = static_cast<int>(column);
      item.pszText = const_cast<wchar_t*>(AsWide(rows_[row].cells[column]));
      SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    }
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

void CSortedListCtrl::SizeColumnsToContent() {
  for (std::size_t column = 0; column < columns_; ++column) {
    // The wider of the header and the longest cell.
    ListView_SetColumnWidth(list_, static_cast<int>(column), LVSCW_AUTOSIZE_USEHEADER);
  }
}

int CSortedListCtrl::SelectedRow() const {
  return ListView_GetNextItem(list_, -1, LVNI_SELECTED);
}

void CSortedListCtrl::SelectRow(int row) {
  const int current = SelectedRow();
  if (current >= 0 && current != row) {
    ListView_SetItemState(list_, current, 0, LVIS_SELECTED | LVIS_FOCUSED);
  }
  if (row >= 0) {
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, row, FALSE);
  }
}

bool CSortedListCtrl::HandleCustomDraw(LPARAM notification, LRESULT& result) const {
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(notification);
  if (draw->nmcd.hdr.hwndFrom != list_) {
    return false;
  }
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      result = CDRF_NOTIFYITEMDRAW;
      return true;
    case CDDS_ITEMPREPAINT: {
      const std::size_t row = draw->nmcd.dwItemSpec;
      if (row < rows_.size()) {
        const bool selected = ListView_GetItemState(list_, static_cast<int>(row), LVIS_SELECTED);
        // The selected row shows its colours swapped.
        draw->clrTextBk = selected ? rows_[row].text : rows_[row].face;
        draw->clrText = selected ? rows_[row].face : rows_[row].text;
        draw->nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
      }
      result = CDRF_NOTIFYPOSTPAINT;
      return true;
    }
    case CDDS_ITEMPOSTPAINT: {
      RECT bounds{};
      ListView_GetItemRect(list_, static_cast<int>(draw->nmcd.dwItemSpec), &bounds, LVIR_BOUNDS);
      HPEN pen = CreatePen(PS_SOLID, 1, line_);
      HGDIOBJ old = SelectObject(draw->nmcd.hdc, pen);
      MoveToEx(draw->nmcd.hdc, bounds.left, bounds.bottom - 1, nullptr);
      LineTo(draw->nmcd.hdc, bounds.right, bounds.bottom - 1);
      SelectObject(draw->nmcd.hdc, old);
      DeleteObject(pen);
      result = CDRF_DODEFAULT;
      return true;
    }
    default:
      result = CDRF_DODEFAULT;
      return true;
  }
}
