#include "toolkit/tooltip_look_win.h"

#include <commctrl.h>

HWND CreateToolTipWindow(HWND owner) {
  return CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                         WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

void ApplyToolTipTimings(HWND tooltip) {
  SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 300);
  SendMessageW(tooltip, TTM_ACTIVATE, TRUE, 0);
  SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
  SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_RESHOW, 500);
  SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
}
