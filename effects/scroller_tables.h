// The wave scroller's default text and offset tables, and the zero tables of a
// straight ticker line. Each table carries its count in its type.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr char default_text[] = "A waved scroll's default text. ";
static_assert(sizeof(default_text) - 1 == 31);

// Default column offsets: one swing of amplitude 7; entry i + 21 is the negative of entry i.
inline constexpr std::array<int32_t, 42> xwave_table{
    0,  1,  2,  3,  4,  4,  5,  6,  6,  7,   //
    7,  7,  7,  6,  6,  5,  4,  4,  3,  2,   //
    1,  0,  -1, -2, -3, -4, -4, -5, -6, -6,  //
    -7, -7, -7, -7, -6, -6, -5, -4, -4, -3,  //
    -2, -1};

// Default row offsets: three swings one after another, entries 0 to 37 (amplitude 4),
// 38 to 67 (amplitude 3) and 68 to 117 (amplitude 3, flat crests); within each swing
// the second half is the negative of the first.
inline constexpr std::array<int32_t, 118> ywave_table{
    0,  1,  2,  2,  3,  3,  3,  4,  4,  4,   //
    4,  4,  4,  3,  3,  3,  2,  2,  1,  0,   //
    -1, -2, -2, -3, -3, -3, -4, -4, -4, -4,  //
    -4, -4, -3, -3, -3, -2, -2, -1, 0,  1,   //
    1,  2,  2,  3,  3,  3,  3,  3,  3,  2,   //
    2,  1,  1,  0,  -1, -1, -2, -2, -3, -3,  //
    -3, -3, -3, -3, -2, -2, -1, -1, 0,  1,   //
    1,  2,  2,  2,  2,  3,  3,  3,  3,  3,   //
    3,  3,  3,  3,  3,  3,  3,  2,  2,  2,   //
    2,  1,  1,  0,  -1, -1, -2, -2, -2, -2,  //
    -3, -3, -3, -3, -3, -3, -3, -3, -3, -3,  //
    -3, -3, -2, -2, -2, -2, -1, -1};

// Offsets of a scroller that neither ripples nor bobs.
inline constexpr std::array<int32_t, 20> zero_table_x{};
inline constexpr std::array<int32_t, 20> zero_table_y{};

namespace scroller_tables_detail {

// Entry first + half + i is the negative of entry first + i for every i below half.
template <std::size_t N>
constexpr bool second_half_negated(const std::array<int32_t, N>& table, std::size_t first,
                                   std::size_t half) {
  for (std::size_t i = 0; i < half; ++i) {
    if (table[first + half + i] != -table[first + i]) return false;
  }
  return true;
}

template <std::size_t N>
constexpr bool all_zero(const std::array<int32_t, N>& table) {
  for (int32_t v : table) {
    if (v != 0) return false;
  }
  return true;
}

}  // namespace scroller_tables_detail

static_assert(scroller_tables_detail::second_half_negated(xwave_table, 0, 21));
static_assert(scroller_tables_detail::second_half_negated(ywave_table, 0, 19));
static_assert(scroller_tables_detail::second_half_negated(ywave_table, 38, 15));
static_assert(scroller_tables_detail::second_half_negated(ywave_table, 68, 25));
static_assert(scroller_tables_detail::all_zero(zero_table_x));
static_assert(scroller_tables_detail::all_zero(zero_table_y));
