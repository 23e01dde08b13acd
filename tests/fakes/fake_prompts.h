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

  std::vector<std::u16string> shown;
};
