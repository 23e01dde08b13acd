// The colours the rules list and its buttons use (0x00BBGGRR): colour names
// with their standard web values and the text colour that stays readable.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "rules/rule.h"

inline constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return r | (g << 8) | (b << 16);
}

// The value of a colour name ("Crimson", "Cyan", ...), letter case ignored.
std::optional<std::uint32_t> ColorFromName(std::u16string_view name);
// White on faces whose average channel is below 150, else black.
std::uint32_t ContrastTextColor(std::uint32_t face);
// The row face of a rule: grey when it is not active, else its action's colour.
std::uint32_t RuleFaceColor(const Rule& rule);
