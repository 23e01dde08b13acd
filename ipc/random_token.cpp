#include "ipc/random_token.h"

#include <ctime>

#include "base/crt_random.h"

static_assert(kTokenAlphabet.size() == 62);

std::u16string RandomToken() {
  SeedCrtRandom(static_cast<std::uint32_t>(std::time(nullptr)));
  std::u16string token;
  token.reserve(kTokenLength);
  for (std::size_t i = 0; i < kTokenLength; ++i) {
    token.push_back(
        kTokenAlphabet[static_cast<std::size_t>(NextCrtRandom()) % kTokenAlphabet.size()]);
  }
  return token;
}
