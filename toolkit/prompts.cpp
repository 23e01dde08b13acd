#include "toolkit/prompts.h"

#include "base/wipe.h"

void Prompts::ShowMessageAndWipe(std::u16string& message) {
  ShowMessage(message);
  Wipe(message);
}
