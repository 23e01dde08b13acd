// UTF-16 text helpers shared by every subsystem.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Removes blanks and tabs (and nothing else) from both ends.
std::u16string TrimBlanks(std::u16string_view text);

// Case folding of the ASCII letters A-Z only.
char16_t ToLowerAscii(char16_t c);
char16_t ToUpperAscii(char16_t c);
std::u16string ToLowerAscii(std::u16string_view text);
std::u16string ToUpperAscii(std::u16string_view text);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
// Negative, zero or positive like a three-way comparison of the folded texts.
int CompareNoCase(std::u16string_view a, std::u16string_view b);
bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix);

// CR LF -> LF, then LF CR -> LF, then any remaining CR -> LF.
std::u16string NormalizeLineBreaks(std::u16string_view text);

// Cuts at every case-sensitive occurrence of the delimiter, from the left.
// An empty text or delimiter gives no pieces. A limit n > 0 keeps the rest of
// the text in the n-th piece; dropEmpty leaves out empty pieces.
std::vector<std::u16string> Split(std::u16string_view text, std::u16string_view delimiter,
                                  std::size_t limit = 0, bool dropEmpty = false);

// Whether every character is one of the digits 0 to 9 (true for "").
bool IsAllDigits(std::u16string_view text);
// The value of the leading digits, saturating at the limit; 0 without any.
std::uint64_t ParseDecimal(std::u16string_view text, std::uint64_t limit = UINT64_MAX);

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to);

// The bytes of a UTF-16LE text file with its byte order mark: FF FE, then
// the code units.
std::string Utf16LeWithMark(std::u16string_view text);

// Conversions for the edges of the program (file names, test output).
// Invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
