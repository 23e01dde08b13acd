// The wildcard matcher shared by the 3D test and the scanner's wildcard rules:
// "*" stands for any run of characters, everything else matches itself with
// the ASCII letters compared without case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A pattern cut into tokens: literals (non-empty) and the wildcard marker (an
// empty string) for each run of asterisks. Two markers never follow each other.
struct WildcardPattern {
  std::vector<std::u16string> tokens;
  bool operator==(const WildcardPattern&) const = default;
};

// An empty pattern gives no tokens.
WildcardPattern CompilePattern(std::u16string_view pattern);

// Whether the whole text matches. A marker followed by a literal takes the
// leftmost occurrence of that literal, without backtracking; a literal that
// ends the pattern after a marker is only checked against the end of the text
// (so "ab*b" matches "ab"). A pattern without tokens matches only "".
bool MatchPattern(const WildcardPattern& pattern, std::u16string_view text);

// MatchPattern for a pattern and a text both folded to lower case (ASCII)
// beforehand: the same answers, with plain comparisons. For matching one
// pattern against many texts.
bool MatchFoldedPattern(const WildcardPattern& foldedPattern, std::u16string_view foldedText);
