#include "toolkit/file_dialog_win.h"

#include "base/wide_win.h"

std::optional<std::u16string> AskFileName(FileDialogKind kind, HWND owner, const wchar_t* filter,
                                          const wchar_t* defaultExtension, DWORD flags) {
  wchar_t file[MAX_PATH] = {};
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = defaultExtension;
  dialog.Flags = flags;
  const BOOL chosen =
      kind == FileDialogKind::Open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
  if (!chosen) {
    return std::nullopt;
  }
  return FromWide(file);
}
