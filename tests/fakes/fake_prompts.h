// Records what the program showed the user.
#pragma once

#include <string>
#include <vector>

#include "toolkit/prompts.h"

class FakePrompts : public Prompts {
 public:
  std::u16string PromptOk(std::u16string_view message) override {
    shown.emplace_back(message);
    return u"OK";
  }
  void ShowMessage(std::u16string_view message) override { shown.emplace_back(message); }
  std::u16string PromptTwo(std::u16string_view, std::u16string_view,
                           std::u16string_view message) override {
    shown.emplace_back(message);
    return answer;
  }

  // The caption PromptTwo answers with.
  std::u16string answer = u"No";

  std::vector<std::u16string> shown;
};
