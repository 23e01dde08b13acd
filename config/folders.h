// The application's folders. Every folder text ends with one backslash.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// An empty text stays empty; otherwise "/" becomes "\" and one "\" ends it.
std::u16string NormalizeFolder(std::u16string_view text);

// The folder part of a path: everything before its last separator (for a
// folder ending in one, the folder itself); empty without one. The separator
// is "\" on Windows and "/" natively.
std::u16string FolderPartOf(std::u16string_view path);

// Creates the folder part of the path with its missing parents; true when it
// exists afterwards. False without a folder part or beyond 259 characters.
bool EnsureFolderExists(std::u16string_view path);

// True when one of the candidate folders (blanks and tabs around them are
// ignored) followed by "Vantreloquin\" is the program folder, ignoring ASCII
// letter case.
bool IsProgramFolderUnder(const std::vector<std::u16string>& candidates,
                          std::u16string_view programFolder);

inline constexpr std::u16string_view kMainArchiveName = u"Vantreloquin.arc";
inline constexpr std::u16string_view kBackupArchiveName = u"Vantreloquin.backup";

#ifdef _WIN32
// The user's Documents folder followed by "Ostrafelmoria\Vantreloquin\".
const std::u16string& DataFolder();
const std::u16string& WindowsFolder();
// The folder of the running executable.
std::u16string ProgramFolder();
std::u16string UserTempFolder();
// Whether the executable runs from "Vantreloquin\" in a Program Files folder.
bool IsInstalledUnderProgramFiles();
#endif
