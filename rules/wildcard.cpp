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

// The first position at or after `from` where the text continues with the
// literal, ignoring case; npos when there is none.
std::size_t FindNoCase(std::u16string_view text, std::u16string_view literal, std::size_t from) {
  for (std::size_t p = from; p <= text.size() && text.size() - p >= literal.size(); ++p) {
    if (StartsWithNoCase(text.substr(p), literal)) {
      return p;
    }
  }
  return std::u16string_view::npos;
}

}  // namespace

bool MatchPattern(const WildcardPattern& pattern, std::u16string_view text) {
  const std::vector<std::u16string>& tokens = pattern.tokens;
  if (tokens.empty()) {
    return text.empty();
  }
  const std::size_t length = text.size();
  std::size_t pos = 0;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::u16string& token = tokens[i];
    if (!token.empty()) {
      if (length - pos < token.size() || !StartsWithNoCase(text.substr(pos), token)) {
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
      return length >= next.size() && EqualsNoCase(text.substr(length - next.size()), next);
    }
    if (pos >= length) {
      return false;
    }
    const std::size_t found = FindNoCase(text, next, pos);
    if (found == std::u16string_view::npos) {
      return false;
    }
    pos = found + next.size();
    ++i;  // the literal went with the marker
  }
  return pos == length;
}
