#include "base/crt_random.h"

namespace {

thread_local std::uint32_t state = 1;

}  // namespace

void SeedCrtRandom(std::uint32_t seed) {
  state = seed;
}

int NextCrtRandom() {
  state = state * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 0x7FFF);
}
