#include "effects/swarm.h"

#include "effects/logo_art.h"
#include "toolkit/draw.h"

int32_t path_x = 0;
int32_t path_y = 0;
int32_t base_x = 0;
int32_t base_y = 0;
int32_t scale_x = 0;
int32_t scale_y = 0;

namespace {

template <std::size_t N>
constexpr bool second_half_negated(const PathTable<N>& table) {
  for (std::size_t i = 0; i < N / 2; ++i) {
    if (table.offsets[N / 2 + i] != -table.offsets[i]) return false;
  }
  return N % 2 == 0;
}

// No overflow in offset * scale + base: with |offset| < divisor / 2 and
// scale = size / divisor, |offset * scale| < size / 2, and base lies in
// -3 .. size / 2, so the sum stays within -3 - size / 2 .. size.
template <std::size_t N>
constexpr bool offsets_within_half_divisor(const PathTable<N>& table) {
  for (int32_t v : table.offsets) {
    if (2 * v >= table.divisor || -2 * v >= table.divisor) return false;
  }
  return table.divisor > 0;
}

static_assert(second_half_negated(xpath_table));
static_assert(second_half_negated(ypath_table));
static_assert(offsets_within_half_divisor(xpath_table));
static_assert(offsets_within_half_divisor(ypath_table));

constexpr int logo_count = 5;
// How far each logo trails the one before it, in entries of each table.
constexpr int32_t spacing_x = 8;
constexpr int32_t spacing_y = 4;

// path_x and path_y are public; an index someone set out of range is wrapped rather
// than read past the table. In range it is left as it is.
int32_t wrapped(int32_t index, int32_t count) {
  const int32_t r = index % count;
  return r < 0 ? r + count : r;
}

}  // namespace

void swarm_setup(const Screen* screen) {
  base_x = screen->width / 2 - 3;
  base_y = screen->height / 2 - 2;
  scale_x = screen->width / xpath_table.divisor;
  scale_y = screen->height / ypath_table.divisor;
}

void swarm_draw(Screen* screen) {
  constexpr auto count_x = static_cast<int32_t>(xpath_table.offsets.size());
  constexpr auto count_y = static_cast<int32_t>(ypath_table.offsets.size());
  int32_t ix = wrapped(path_x, count_x);
  int32_t iy = wrapped(path_y, count_y);
  for (int k = 0; k < logo_count; ++k) {
    const int32_t column = xpath_table.offsets[static_cast<std::size_t>(ix)] * scale_x + base_x;
    const int32_t row = ypath_table.offsets[static_cast<std::size_t>(iy)] * scale_y + base_y;
    draw_text(screen, column, row, logo_art);
    ix = (ix + spacing_x) % count_x;
    iy = (iy + spacing_y) % count_y;
  }
}

void swarm_advance() {
  constexpr auto count_x = static_cast<int32_t>(xpath_table.offsets.size());
  constexpr auto count_y = static_cast<int32_t>(ypath_table.offsets.size());
  path_x = path_x >= count_x - 1 ? 0 : path_x + 1;
  path_y = path_y >= count_y - 1 ? 0 : path_y + 1;
}
