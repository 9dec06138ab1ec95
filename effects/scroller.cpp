#include "effects/scroller.h"

#include <cstring>
#include <memory>

#include "toolkit/draw.h"
#include "toolkit/text.h"

namespace {

struct CursorDeleter {
  void operator()(TableCursor* cursor) const { cursor_free(cursor); }
};
using CursorHolder = std::unique_ptr<TableCursor, CursorDeleter>;

template <std::size_t N>
CursorHolder wave_cursor(const std::array<int32_t, N>& table) {
  CursorHolder cursor{cursor_create()};
  cursor_init(cursor.get(), table.data(), sizeof(int32_t), static_cast<int32_t>(table.size()), 1);
  return cursor;
}

int32_t current_offset(const TableCursor* cursor) {
  int32_t value;
  std::memcpy(&value, cursor_current(cursor), sizeof value);
  return value;
}

}  // namespace

WaveScroller* scroller_create() {
  // Held until the end so that a failing allocation leaves nothing behind.
  auto scroller = std::make_unique<WaveScroller>();
  CursorHolder text{cursor_create()};
  cursor_init(text.get(), default_text, 1, text_length(default_text), 1);
  CursorHolder xwave = wave_cursor(xwave_table);
  CursorHolder ywave = wave_cursor(ywave_table);

  Screen* screen = current_screen;
  scroller->screen = screen;
  scroller->width = screen->width;
  scroller->height = screen->height;
  scroller->text = text.release();
  scroller->xwave = xwave.release();
  scroller->ywave = ywave.release();
  return scroller.release();
}

void scroller_draw(const WaveScroller* scroller) {
  Screen* screen = scroller->screen;
  TableCursor* text = scroller->text;
  TableCursor* xwave = scroller->xwave;
  TableCursor* ywave = scroller->ywave;
  const int32_t text_pos = text->pos;
  const int32_t xwave_pos = xwave->pos;
  const int32_t ywave_pos = ywave->pos;

  const int32_t w = screen->width;
  for (int32_t i = 0; i < w; ++i) {
    char c;
    std::memcpy(&c, cursor_current(text), 1);
    // In 64 bits neither sum can overflow, whatever the position and the offsets.
    const int64_t column = int64_t{scroller->x} + i + current_offset(xwave);
    const int64_t row = int64_t{scroller->y} + current_offset(ywave);
    if (column >= 0 && column < w && row >= 0 && row < screen->height) {
      draw_char(screen, static_cast<int32_t>(column), static_cast<int32_t>(row), c);
    }
    cursor_step(text);
    cursor_step(xwave);
    cursor_step(ywave);
  }

  text->pos = text_pos;
  xwave->pos = xwave_pos;
  ywave->pos = ywave_pos;
}

void scroller_advance(WaveScroller* scroller) {
  const int32_t n = scroller->screen->frame_count;
  if (n % 3 == 0) cursor_step(scroller->text);
  if (n % 2 == 0) cursor_step(scroller->xwave);
  if (n % 3 == 0) cursor_step(scroller->ywave);
}

void scroller_free(WaveScroller* scroller) {
  cursor_free(scroller->text);
  delete scroller;
}
