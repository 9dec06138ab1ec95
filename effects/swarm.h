// Five copies of the logo chasing one another along a looping path over the middle of
// the Screen. No record: the state is process-wide.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "toolkit/screen.h"

// Offsets along one axis of the path. They are multiplied by how many whole times the
// divisor fits into the Screen's size on that axis.
template <std::size_t N>
struct PathTable {
  int32_t divisor;
  std::array<int32_t, N> offsets;
};

// Column offsets: one swing of amplitude 18; entry i + 49 is the negative of entry i.
inline constexpr PathTable<98> xpath_table{
    40,
    {0,   1,   2,   3,   4,   5,   6,   7,   8,   9,    //
     10,  11,  11,  12,  13,  14,  14,  15,  16,  16,   //
     17,  17,  18,  18,  18,  18,  18,  18,  17,  17,   //
     16,  16,  15,  14,  14,  13,  12,  11,  11,  10,   //
     9,   8,   7,   6,   5,   4,   3,   2,   1,   0,    //
     -1,  -2,  -3,  -4,  -5,  -6,  -7,  -8,  -9,  -10,  //
     -11, -11, -12, -13, -14, -14, -15, -16, -16, -17,  //
     -17, -18, -18, -18, -18, -18, -18, -17, -17, -16,  //
     -16, -15, -14, -14, -13, -12, -11, -11, -10, -9,   //
     -8,  -7,  -6,  -5,  -4,  -3,  -2,  -1}};

// Row offsets: one swing of amplitude 9; entry i + 29 is the negative of entry i.
inline constexpr PathTable<58> ypath_table{
    20,
    {0,  1,  2,  3,  4,  5,  6,  7,  7,  8,   //
     8,  9,  9,  9,  9,  9,  9,  9,  9,  8,   //
     8,  7,  7,  6,  5,  4,  3,  2,  1,  0,   //
     -1, -2, -3, -4, -5, -6, -7, -7, -8, -8,  //
     -9, -9, -9, -9, -9, -9, -9, -9, -8, -8,  //
     -7, -7, -6, -5, -4, -3, -2, -1}};

// Index of logo 0 into each table; 0 at start, moved only by swarm_advance.
extern int32_t path_x;
extern int32_t path_y;
// Worked out by swarm_setup: the top-left corner at offset 0 and the offset scales.
extern int32_t base_x;
extern int32_t base_y;
extern int32_t scale_x;
extern int32_t scale_y;

// base = size / 2 - (3 columns, 2 rows); scale = size / the table's divisor.
void swarm_setup(const Screen* screen);

// Logo k at xpath[(path_x + 8k) mod count] * scale_x + base_x and the matching row,
// for k = 0 to 4; a later logo covers an earlier one.
void swarm_draw(Screen* screen);

// One entry on along both tables, back to 0 after the last.
void swarm_advance();
