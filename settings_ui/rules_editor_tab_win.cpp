#include "settings_ui/rules_editor_tab_win.h"

#include <commctrl.h>

#include "resources/resource_ids.h"
#include "settings_ui/rule_colors.h"
#include "toolkit/button_row_win.h"

namespace {

constexpr int kButtonStrip = 25;
constexpr COLORREF kListFace = RGB(50, 50, 50);
constexpr COLORREF kLineColor = RGB(255, 150, 100);

}  // namespace

CRulesEditorTab::CRulesEditorTab(RulesEditorSources sources)
    : CToolTipDialog(IDD_RULES_TAB, nullptr), model_(sources) {
  model_.onChanged = [this] { ShowModel(); };
}

BOOL CRulesEditorTab::OnInitDialog() {
  list_.Attach(hwnd(), IDC_RULES_LIST);
  struct ButtonSetup {
    CFlatColorButton& button;
    int id;
    COLORREF face;
    const char16_t* tip;
  };
  const COLORREF cyan = *ColorFromName(u"Cyan");
  const COLORREF orange = *ColorFromName(u"Orange");
  const ButtonSetup buttons[] = {
      {add_, IDC_RULES_ADD, RGB(0, 200, 0), u"Define a completely new rule."},
      {delete_, IDC_RULES_DELETE, RGB(200, 0, 0),
       u"Delete the currently selected rule.\r\n\r\nYou can also use the \"delete\" key on the "
       u"keyboard."},
      {edit_, IDC_RULES_EDIT, RGB(140, 140, 140),
       u"Edit the currently selected rule.\r\n\r\nYou can also double-click on the rule to edit "
       u"with your mouse, use \"spacebar\", or \"return\"."},
      {bulk_, IDC_RULES_BULK, cyan,
       u"Reassigns priority levels in bulk.\r\n\r\nThis permits changing a batch of rules at one "
       u"priority level to another in one action."},
      {undo_, IDC_RULES_UNDO, orange,
       u"Undoes the prior action.\r\n\r\n-This button may be clicked repeatedly until the undo "
       u"stack is empty.\r\n\r\n-The undo stack is not persistent between starts of the "
       u"software, so be sure to use it as soon as a realization is made."},
  };
  for (const ButtonSetup& setup : buttons) {
    setup.button.Attach(hwnd(), setup.id);
    setup.button.SetColors(ContrastTextColor(setup.face), setup.face);
    AddToolTip(setup.button.hwnd(), setup.tip);
  }
  list_.SetBackground(kListFace);
  list_.SetColumns({u"Executable", u"Action", u"Core", u"Mem", u"Priority", u"Enabled"});
  list_.SizeColumnsToContent();
  model_.RefreshRuleList(u"");
  Layout();
  return TRUE;
}

void CRulesEditorTab::Layout() {
  if (!list_.hwnd() || !bulk_.hwnd()) {
    return;
  }
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int listHeight = client.bottom > kButtonStrip ? client.bottom - kButtonStrip : 0;
  MoveWindow(list_.hwnd(), 0, 0, client.right, listHeight, TRUE);
  LayoutButtonRow(hwnd(), listHeight, kButtonStrip,
                  {add_.hwnd(), delete_.hwnd(), edit_.hwnd(), undo_.hwnd(), bulk_.hwnd()});
}

void CRulesEditorTab::ShowModel() {
  if (!list_.hwnd()) {
    return;
  }
  showing_ = true;
  std::vector<CSortedListCtrl::Row> rows;
  for (const RuleRow& row : model_.rows()) {
    rows.push_back(
        {std::vector<std::u16string>(row.cells.begin(), row.cells.end()), row.face, row.text});
  }
  list_.SetLineColor(kLineColor);
  list_.SetRows(rows);
  list_.SelectRow(model_.selected());
  undo_.SetCaption(model_.UndoCaption());
  list_.SizeColumnsToContent();
  showing_ = false;
}

bool CRulesEditorTab::PreTranslate(const MSG& msg) {
  return msg.message == WM_KEYDOWN && model_.OnKeyDown(static_cast<std::uint32_t>(msg.wParam));
}

bool CRulesEditorTab::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return false;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom != list_.hwnd()) {
        break;
      }
      if (header->code == NM_CUSTOMDRAW && list_.HandleCustomDraw(lParam, result)) {
        return true;
      }
      if (header->code == LVN_ITEMCHANGED && !showing_) {
        model_.Select(list_.SelectedRow());
      } else if (header->code == NM_DBLCLK) {
        PostMessageW(hwnd(), WM_RULES_DOUBLE_CLICK, 0, 0);
      }
      return false;
    }
    case WM_RULES_DOUBLE_CLICK:
      model_.OnDoubleClick();
      return true;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) {
        break;
      }
      switch (LOWORD(wParam)) {
        case IDC_RULES_ADD:
          model_.AddRuleCommand();
          return true;
        case IDC_RULES_DELETE:
          model_.DeleteRuleCommand();
          return true;
        case IDC_RULES_EDIT:
          model_.EditRuleCommand();
          return true;
        case IDC_RULES_UNDO:
          model_.UndoCommand();
          return true;
        case IDC_RULES_BULK:
          model_.BulkPriorityCommand();
          return true;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return CToolTipDialog::OnMessage(message, wParam, lParam, result);
}
