// Whole-file reads and writes for the settings archives. Paths are UTF-16
// (Windows paths in the Windows build, POSIX paths natively).
#pragma once

#include <string>
#include <string_view>

// Reads every byte; false when the file cannot be opened or read.
bool ReadWholeFile(std::u16string_view path, std::string& bytes);

// Writes the bytes to a temporary file in the same folder and then puts it
// in place of the file, so that the path always holds either the old or the
// complete new content. False (with the old file untouched) on failure.
bool ReplaceFileContent(std::u16string_view path, std::string_view bytes);
