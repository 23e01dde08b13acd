// The system's file dialogs: a file name to open or to save, or nothing when
// the user cancelled.
#pragma once

#include <windows.h>

#include <commdlg.h>  // the OFN_ flags callers pass

#include <optional>
#include <string>

enum class FileDialogKind { Open, Save };

// filter is the dialog's double-NUL-terminated filter list.
std::optional<std::u16string> AskFileName(FileDialogKind kind, HWND owner, const wchar_t* filter,
                                          const wchar_t* defaultExtension, DWORD flags);
