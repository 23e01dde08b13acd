#include "rules/wildcard.h"

#include <cstddef>
#include <utility>

#include "base/text.h"

WildcardPattern CompilePattern(std::u16string_view pattern) {
  WildcardPattern compiled;
  std::u16string literal;
  std::size_t i = 0;
  while (i < pattern.size()) {
    if (pattern[i] == u'*') {
      if (!literal.empty()) {
        compiled.tokens.push_back(std::move(literal));
        literal.clear();
      }
      compiled.tokens.emplace_back();
      while (i < pattern.size() && pattern[i] == u'*') {
        ++i;
      }
    } else {
      literal.push_back(pattern[i]);
      ++i;
      if (i == pattern.size()) {
        compiled.tokens.push_back(std::move(literal));
      }
    }
  }
  return compiled;
}

namespace {

// Comparisons that ignore ASCII letter case.
struct NoCase {
  static bool Starts(std::u16string_view text, std::u16string_view literal) {
    return StartsWithNoCase(text, literal);
  }
  static bool Equal(std::u16string_view a, std::u16string_view b) { return EqualsNoCase(a, b); }
  // The first position at or after `from` where the text continues with the
  // literal; npos when there is none.
  static std::size_t Find(std::u16string_view text, std::u16string_view literal, std::size_t from) {
    for (std::size_t p = from; p <= text.size() && text.size() - p >= literal.size(); ++p) {
      if (StartsWithNoCase(text.substr(p), literal)) {
        return p;
      }
    }
    return std::u16string_view::npos;
  }
};

// Exact comparisons, for pattern and text folded to lower case beforehand.
struct Exact {
  static bool Starts(std::u16string_view text, std::u16string_view literal) {
    return text.starts_with(literal);
  }
  static bool Equal(std::u16string_view a, std::u16string_view b) { return a == b; }
  static std::size_t Find(std::u16string_view text, std::u16string_view literal, std::size_t from) {
    return text.find(literal, from);
  }
};

template <typename Compare>
bool Match(const WildcardPattern& pattern, std::u16string_view text) {
  const std::vector<std::u16string>& tokens = pattern.tokens;
  if (tokens.empty()) {
    return text.empty();
  }
  const std::size_t length = text.size();
  // A final literal after a marker is only ever tested against the end of
  // the text, so a text that does not end with it fails whatever comes
  // before: test that first, it rejects most texts at once.
  const std::size_t count = tokens.size();
  if (count >= 2 && tokens[count - 2].empty() && !tokens[count - 1].empty()) {
    const std::u16string& last = tokens[count - 1];
    if (length < last.size() || !Compare::Equal(text.substr(length - last.size()), last)) {
      return false;
    }
  }
  std::size_t pos = 0;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::u16string& token = tokens[i];
    if (!token.empty()) {
      if (length - pos < token.size() || !Compare::Starts(text.substr(pos), token)) {
        return false;
      }
      pos += token.size();
      continue;
    }
    if (i + 1 == tokens.size()) {
      pos = length;
      continue;
    }
    const std::u16string& next = tokens[i + 1];
    if (i + 2 == tokens.size()) {
      return length >= next.size() && Compare::Equal(text.substr(length - next.size()), next);
    }
    if (pos >= length) {
      return false;
    }
    const std::size_t found = Compare::Find(text, next, pos);
    if (found == std::u16string_view::npos) {
      return false;
    }
    pos = found + next.size();
    ++i;  // the literal went with the marker
  }
  return pos == length;
}

}  // namespace

bool MatchPattern(const WildcardPattern& pattern, std::u16string_view text) {
  return Match<NoCase>(pattern, text);
}

bool MatchFoldedPattern(const WildcardPattern& foldedPattern, std::u16string_view foldedText) {
  return Match<Exact>(foldedPattern, foldedText);
}
