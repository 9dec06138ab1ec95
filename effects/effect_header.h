// The fields that every effect record starts with.
#pragma once

#include <cstdint>

#include "toolkit/screen.h"

// Position, the Screen's size at the effect's creation and the Screen it draws into.
// z and depth stay zero and are never read.
struct EffectHeader {
  int32_t x;
  int32_t y;
  int32_t z;
  int32_t width;
  int32_t height;
  int32_t depth;
  Screen* screen;
};
