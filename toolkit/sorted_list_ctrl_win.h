// A report-style list view whose rows each have their own face and text
// colour, with a coloured line under every row and one selected row.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CSortedListCtrl {
 public:
  struct Row {
    std::vector<std::u16string> cells;
    COLORREF face;
    COLORREF text;
  };

  // Binds to the dialog's list view control.
  bool Attach(HWND dialog, int controlId);
  HWND hwnd() const { return list_; }

  void SetColumns(const std::vector<std::u16string>& titles);
  void SetBackground(COLORREF face);
  void SetLineColor(COLORREF line) { line_ = line; }
  // Makes the list hold exactly these rows.
  void SetRows(const std::vector<Row>& rows);
  void SizeColumnsToContent();
  // The selected row, or -1.
  int SelectedRow() const;
  // Selects the row and scrolls it into view; -1 clears the selection.
  void SelectRow(int row);

  // The parent forwards NM_CUSTOMDRAW of the list; true when it answered.
  bool HandleCustomDraw(LPARAM notification, LRESULT& result) const;

 private:
  HWND list_ = nullptr;
  std::vector<Row> rows_;
  std::size_t columns_ = 0;
  COLORREF line_ = RGB(255, 150, 100);
};
