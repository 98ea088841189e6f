#include "snow/random.h"

#include <cstdint>

namespace {
uint32_t state = 1;
}

int RandomNext() {
  state = state * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 0x7FFF);
}

int RandomBelow(int n) {
  if (n == 0) return 0;
  return RandomNext() % n;
}

// A test seam (tests/support/seams.h); the program never calls it.
void ResetRandom() { state = 1; }
