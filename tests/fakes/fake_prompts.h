// Records what the program showed the user and answers from a script.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/prompts.h"

class FakePrompts : public Prompts {
 public:
  std::u16string PromptChoices(std::u16string_view message, std::span<const PromptChoice> choices,
                               int fontHeight) override {
    shown.emplace_back(message);
    lastCaptions.clear();
    for (const PromptChoice& choice : choices) {
      lastCaptions.emplace_back(choice.caption);
    }
    lastFontHeight = fontHeight;
    if (whileOpen) {
      whileOpen();
    }
    if (!answers.empty()) {
      std::u16string next = answers.front();
      answers.pop_front();
      return next;
    }
    return choices.size() == 1 ? std::u16string(choices[0].caption) : answer;
  }

  bool PromptForText(std::u16string* destination, const TextPromptTexts& texts) override {
    shown.emplace_back(texts.message);
    textTitles.emplace_back(texts.title);
    if (whileOpen) {
      whileOpen();
    }
    if (textAnswers.empty() || !textAnswers.front()) {
      if (!textAnswers.empty()) {
        textAnswers.pop_front();
      }
      return false;
    }
    if (destination) {
      *destination = *textAnswers.front();
    }
    textAnswers.pop_front();
    return true;
  }

  // Scripted captions, one per choice prompt; when none is left a one-choice
  // prompt answers its caption and a two-choice prompt `answer`.
  std::deque<std::u16string> answers;
  std::u16string answer = u"No";
  // Scripted text entries, one per text prompt; nullopt or none left cancels.
  std::deque<std::optional<std::u16string>> textAnswers;
  // Runs while a prompt is open, as the nested message loop of a real one would.
  std::function<void()> whileOpen;

  std::vector<std::u16string> shown;
  std::vector<std::u16string> textTitles;
  std::vector<std::u16string> lastCaptions;
  int lastFontHeight = 0;
};
