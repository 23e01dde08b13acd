// How the program asks and tells the user. Prompt dialogs implement it on
// Windows; tests script the answers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Text and face colour of a choice button (0x00BBGGRR).
struct ChoiceColors {
  std::uint32_t text;
  std::uint32_t face;
};

inline constexpr ChoiceColors kPositiveChoice{0xFFFFFF, 0x00C800};  // white on green
inline constexpr ChoiceColors kNegativeChoice{0xFFFFFF, 0x0000C8};  // white on red
inline constexpr int kPromptFontHeight = 20;

struct PromptChoice {
  std::u16string_view caption;
  ChoiceColors colors;
};

// What a text prompt shows: its title, message and the tooltips of the edit
// field and of the two buttons.
struct TextPromptTexts {
  std::u16string_view title;
  std::u16string_view message;
  std::u16string_view editTip;
  std::u16string_view cancelTip;
  std::u16string_view confirmTip;
};

class Prompts {
 public:
  virtual ~Prompts() = default;

  // Shows the message with one or two choice buttons (left to right) and
  // returns the caption of the pressed one exactly as passed; empty when the
  // prompt closed without a press or could not be shown.
  virtual std::u16string PromptChoices(std::u16string_view message,
                                       std::span<const PromptChoice> choices, int fontHeight) = 0;

  // Asks for one line of text. True when the user confirmed; the entered text
  // is then in destination (when given). A cancelled prompt leaves it alone.
  virtual bool PromptForText(std::u16string* destination, const TextPromptTexts& texts) = 0;

  std::u16string PromptOne(std::u16string_view caption, std::u16string_view message,
                           ChoiceColors colors = kPositiveChoice,
                           int fontHeight = kPromptFontHeight) {
    const PromptChoice choice{caption, colors};
    return PromptChoices(message, std::span(&choice, 1), fontHeight);
  }
  // Callers put the negative choice first (left, red) and the positive one
  // second (right, green).
  std::u16string PromptTwo(std::u16string_view caption1, std::u16string_view caption2,
                           std::u16string_view message, ChoiceColors colors1 = kNegativeChoice,
                           ChoiceColors colors2 = kPositiveChoice,
                           int fontHeight = kPromptFontHeight) {
    const PromptChoice choices[] = {{caption1, colors1}, {caption2, colors2}};
    return PromptChoices(message, choices, fontHeight);
  }
  std::u16string PromptOk(std::u16string_view message, ChoiceColors colors = kPositiveChoice,
                          int fontHeight = kPromptFontHeight) {
    return PromptOne(u"OK", message, colors, fontHeight);
  }
  void ShowMessage(std::u16string_view message) { PromptOk(message); }
  // Shows the message, then wipes the caller's copy of it.
  void ShowMessageAndWipe(std::u16string& message);
};
