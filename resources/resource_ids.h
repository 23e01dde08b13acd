/* Resource identifiers shared by the resource script and the code. */
#pragma once

#define IDD_CONTROLLER 102
#define IDI_CLOCK_FREE 128
#define IDI_CLOCK_HELD 129
#define IDI_CLOCK_FORCED_DOWN 130

/* The tray menu (the tray icon's identifier) and its commands. */
#define IDR_TRAY_MENU 129
#define ID_EXIT_PROGRAM 32771
#define ID_LOG_VIEWER 32773
#define ID_SOFTWARE_UPDATE 32774
#define ID_SETTINGS 32775
#define ID_ABOUT 32776
#define ID_ONLINE_DOCUMENTATION 32779
#define ID_FORUMS 32780
#define ID_QUICK_DEFAULT_BLOCK 32783
#define ID_QUICK_DEFAULT_DOWNCLOCK 32784
#define ID_DUMP_LOG 32787
#define ID_DUMP_SETTINGS 32788
#define ID_MAKER_WEBSITE 32789
#define ID_PARTNER_WEBSITE 32790
#define ID_CRASH_TEST 32793

/* The prompts: a message with one or two choices, and a text entry. */
#define IDD_TEXT_PROMPT 148
#define IDD_PROMPT 149
#define IDC_PROMPT_CHOICE1 1000
#define IDC_PROMPT_CHOICE2 1001
#define IDC_TEXT_PROMPT_CANCEL 1006
#define IDC_TEXT_PROMPT_MESSAGE 1056
#define IDC_TEXT_PROMPT_CONFIRM 1064
#define IDC_TEXT_PROMPT_EDIT 1069
