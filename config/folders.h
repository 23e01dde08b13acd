// The application's folders. Every folder text ends with one backslash.
#pragma once

#include <string>
#include <string_view>

// An empty text stays empty; otherwise "/" becomes "\" and one "\" ends it.
std::u16string NormalizeFolder(std::u16string_view text);

// The folder part of a path: everything before its last backslash (for a
// folder ending in a backslash, the folder itself); empty without one.
std::u16string FolderPartOf(std::u16string_view path);

#ifdef _WIN32
// Creates the folder part of the path with its missing parents; true when it
// exists afterwards. False without a folder part or beyond 259 characters.
bool EnsureFolderExists(std::u16string_view path);

// The user's Documents folder followed by "Ostrafelmoria\Vantreloquin\";
// computed once.
const std::u16string& DataFolder();
#endif
