#include "base/wipe.h"

#include <cstdint>

#include "base/crt_random.h"

void ScrambleChars(char16_t* chars, std::size_t count) {
  // Volatile so that the stores survive the clear that follows.
  volatile char16_t* target = chars;
  for (std::size_t i = 0; i < count; ++i) {
    const auto low = static_cast<std::int8_t>(NextCrtRandom() & 0xFF);
    target[i] = static_cast<char16_t>(static_cast<std::int16_t>(low));
  }
}

void Wipe(std::u16string& text) {
  ScrambleChars(text.data(), text.size());
  text.clear();
}
