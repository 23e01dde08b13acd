// Pure helpers on Windows path texts.
#pragma once

#include <string>
#include <string_view>

// The text after the last separator ("\" or "/"); the whole text without one.
std::u16string GetFileNamePart(std::u16string_view path);

// The text after the last "." anywhere in the path, without the dot; empty
// without one. A dot in a folder name counts when the file name has none.
std::u16string GetExtension(std::u16string_view path);
