// The runtime library's linear congruential generator, one state per thread
// (seeded with 1 until a thread seeds it): state = state * 214013 + 2531011,
// value = (state >> 16) & 0x7FFF.
#pragma once

#include <cstdint>

void SeedCrtRandom(std::uint32_t seed);
int NextCrtRandom();
