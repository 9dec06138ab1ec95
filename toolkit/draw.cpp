#include "toolkit/draw.h"

#include <algorithm>
#include <utility>

namespace {

// The one clipping rule: a position off the Screen draws nothing. Takes 64-bit
// coordinates so that callers may walk past the 32-bit range without overflow.
void put_clipped(Screen* screen, int64_t x, int64_t y, char c) {
  if (x < 0 || x >= screen->width || y < 0 || y >= screen->height) return;
  screen->cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(screen->width) +
                static_cast<std::size_t>(x)] = static_cast<signed char>(c);
}

int64_t magnitude(int64_t v) { return v < 0 ? -v : v; }

}  // namespace

void draw_char(Screen* screen, int32_t x, int32_t y, char c) { put_clipped(screen, x, y, c); }

void draw_text(Screen* screen, int32_t x, int32_t y, std::string_view text) {
  int64_t column = x;
  int64_t row = y;
  for (char c : text) {
    if (c == '\0') break;
    if (c == '\n') {
      ++row;
      column = x;
    } else {
      put_clipped(screen, column, row, c);
      ++column;
    }
  }
}

void draw_hline(Screen* screen, int32_t x1, int32_t x2, int32_t y, char c) {
  if (x1 > x2) std::swap(x1, x2);
  if (y < 0 || y >= screen->height) return;
  if (x1 >= screen->width || x2 < 0) return;
  x1 = std::max(x1, 0);
  x2 = std::min(x2, screen->width - 1);
  for (int32_t x = x1; x <= x2; ++x) draw_char(screen, x, y, c);
}

void draw_vline(Screen* screen, int32_t y1, int32_t y2, int32_t x, char c) {
  if (y1 > y2) std::swap(y1, y2);
  if (x < 0 || x >= screen->width) return;
  if (y1 >= screen->height || y2 < 0) return;
  y1 = std::max(y1, 0);
  y2 = std::min(y2, screen->height - 1);
  for (int32_t y = y1; y <= y2; ++y) draw_char(screen, x, y, c);
}

void fill_rect(Screen* screen, int32_t x1, int32_t y1, int32_t x2, int32_t y2, char c) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x2 < 0 || x1 >= screen->width || y2 < 0 || y1 >= screen->height) return;
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  y2 = std::min(y2, screen->height - 1);
  for (int32_t y = y1; y <= y2; ++y) draw_hline(screen, x1, x2, y, c);
}

void draw_line(Screen* screen, int32_t x1, int32_t y1, int32_t x2, int32_t y2, char c) {
  if (screen == nullptr) return;
  const int32_t w = screen->width;
  const int32_t h = screen->height;
  if ((x1 < 0 && x2 < 0) || (x1 >= w && x2 >= w) || (y1 < 0 && y2 < 0) || (y1 >= h && y2 >= h)) {
    return;
  }
  // 64-bit arithmetic: inside the 16.16 range it gives exactly the 32-bit walk's cells,
  // and beyond it (Screens wider or higher than 32767) it neither overflows nor drifts.
  const int64_t dx = magnitude(int64_t{x2} - x1);
  const int64_t dy = magnitude(int64_t{y2} - y1);
  if (dx == 0 && dy == 0) {
    draw_char(screen, x1, y1, c);
    return;
  }
  const bool columns_major = dx >= dy;
  const int64_t steps = columns_major ? dx : dy;
  const int64_t major_start = columns_major ? x1 : y1;
  const int64_t major_dir = (columns_major ? x2 >= x1 : y2 >= y1) ? 1 : -1;
  const int64_t major_size = columns_major ? w : h;
  const int64_t minor_dir = (columns_major ? y2 >= y1 : x2 >= x1) ? 1 : -1;
  const int64_t slope = ((columns_major ? dy : dx) * 65536 / steps) * minor_dir;
  const int64_t acc_start = int64_t{columns_major ? y1 : x1} * 65536 + 32768;

  // Only the steps whose major coordinate lies on the Screen can draw; walking the
  // rest would change nothing, so the walk starts and stops at the Screen's edges.
  int64_t first = 0;
  int64_t last = steps;  // exclusive: the end point is never drawn
  if (major_dir > 0) {
    first = std::max(first, -major_start);
    last = std::min(last, major_size - major_start);
  } else {
    first = std::max(first, major_start - (major_size - 1));
    last = std::min(last, major_start + 1);
  }
  int64_t acc = acc_start + slope * first;
  for (int64_t k = first; k < last; ++k) {
    const int64_t major = major_start + major_dir * k;
    // >> on a negative value is arithmetic (C++20): it rounds towards minus infinity.
    const int64_t minor = acc >> 16;
    if (columns_major) {
      put_clipped(screen, major, minor, c);
    } else {
      put_clipped(screen, minor, major, c);
    }
    acc += slope;
  }
}
