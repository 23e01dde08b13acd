#include "settings_ui/rule_colors.h"

#include <array>
#include <utility>

#include "base/text.h"

namespace {

struct NamedColor {
  std::u16string_view name;
  std::uint32_t value;
};

constexpr std::array kNamedColors = {
    NamedColor{u"Crimson", Rgb(0xDC, 0x14, 0x3C)},
    NamedColor{u"Cyan", Rgb(0x00, 0xFF, 0xFF)},
    NamedColor{u"DarkSeaGreen", Rgb(0x8F, 0xBC, 0x8F)},
    NamedColor{u"ForestGreen", Rgb(0x22, 0x8B, 0x22)},
    NamedColor{u"Green", Rgb(0x00, 0x80, 0x00)},
    NamedColor{u"MediumTurquoise", Rgb(0x48, 0xD1, 0xCC)},
    NamedColor{u"Orange", Rgb(0xFF, 0xA5, 0x00)},
    NamedColor{u"Salmon", Rgb(0xFA, 0x80, 0x72)},
    NamedColor{u"SandyBrown", Rgb(0xF4, 0xA4, 0x60)},
    NamedColor{u"SlateBlue", Rgb(0x6A, 0x5A, 0xCD)},
    NamedColor{u"SteelBlue", Rgb(0x46, 0x82, 0xB4)},
};

constexpr std::uint32_t kInactiveFace = Rgb(100, 100, 100);
constexpr std::uint32_t kUnknownActionFace = Rgb(150, 150, 150);

// The colour name of each action, in action order.
constexpr std::array<std::u16string_view, kActionCount> kActionColorNames = {
    u"Crimson",         u"SandyBrown", u"Salmon",       u"SlateBlue",  u"SteelBlue",
    u"MediumTurquoise", u"Green",      u"DarkSeaGreen", u"ForestGreen"};

}  // namespace

std::optional<std::uint32_t> ColorFromName(std::u16string_view name) {
  for (const NamedColor& color : kNamedColors) {
    if (EqualsNoCase(color.name, name)) {
      return color.value;
    }
  }
  return std::nullopt;
}

std::uint32_t ContrastTextColor(std::uint32_t face) {
  const std::uint32_t average = ((face & 0xFF) + ((face >> 8) & 0xFF) + ((face >> 16) & 0xFF)) / 3;
  return average < 150 ? Rgb(255, 255, 255) : Rgb(0, 0, 0);
}

std::uint32_t RuleFaceColor(const Rule& rule) {
  if (!IsRuleActive(rule)) {
    return kInactiveFace;
  }
  const auto index = static_cast<std::uint32_t>(rule.action);
  if (index >= kActionCount) {
    return kUnknownActionFace;
  }
  return ColorFromName(kActionColorNames[index]).value_or(kUnknownActionFace);
}
