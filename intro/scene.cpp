#include "intro/scene.h"

#include "effects/scroll_text.h"
#include "effects/swarm.h"
#include "toolkit/text.h"

Scene scene{};

namespace {

// Swaps in a new cursor; the one it replaces is kept in scene.replaced.
void replace_cursor(TableCursor*& field, const void* table, int32_t elem_size, int32_t count,
                    int& kept) {
  TableCursor* cursor = cursor_create();
  cursor_init(cursor, table, elem_size, count, 1);
  scene.replaced[kept++] = field;
  field = cursor;
}

struct FanOverrides {
  int32_t sx1, sy1, sx2, sy2;
  int32_t vx1, vy1, vx2, vy2;
  char ch;
};

constexpr FanOverrides fan_a_overrides{3, 2, 3, 2, 1, -1, -1, 1, '+'};
constexpr FanOverrides fan_b_overrides{4, 3, 4, 3, -1, 1, 1, -1, '.'};

void override_fan(LineFan* fan, const FanOverrides& o) {
  fan->sx1 = o.sx1;
  fan->sy1 = o.sy1;
  fan->sx2 = o.sx2;
  fan->sy2 = o.sy2;
  fan->vx1 = o.vx1;
  fan->vy1 = o.vy1;
  fan->vx2 = o.vx2;
  fan->vy2 = o.vy2;
  fan->ch = o.ch;
}

}  // namespace

void scene_setup() {
  scene.screen = current_screen;
  const int32_t h = scene.screen->height;
  const int32_t text_count = text_length(scroll_text);
  int kept = 0;

  scene.upper = scroller_create();
  // 3 * h would overflow 32 bits for the highest Screens.
  scene.upper->y = static_cast<int32_t>(int64_t{3} * h / 4);
  replace_cursor(scene.upper->text, scroll_text, 1, text_count, kept);

  scene.bottom = scroller_create();
  scene.bottom->y = h - 1;
  replace_cursor(scene.bottom->text, scroll_text, 1, text_count, kept);
  replace_cursor(scene.bottom->xwave, zero_table_x.data(), sizeof(int32_t),
                 static_cast<int32_t>(zero_table_x.size()), kept);
  replace_cursor(scene.bottom->ywave, zero_table_y.data(), sizeof(int32_t),
                 static_cast<int32_t>(zero_table_y.size()), kept);

  // Only the endpoints stay random; A takes the first twelve draws, B the next twelve.
  scene.fan_a = fan_create();
  override_fan(scene.fan_a, fan_a_overrides);
  scene.fan_b = fan_create();
  override_fan(scene.fan_b, fan_b_overrides);

  swarm_setup(scene.screen);
}

void scene_draw() {
  fan_draw(scene.fan_a);
  fan_draw(scene.fan_b);
  scroller_draw(scene.upper);
  scroller_draw(scene.bottom);
  swarm_draw(scene.screen);
}

void scene_advance() {
  swarm_advance();
  scroller_advance(scene.upper);
  scroller_advance(scene.bottom);
  fan_update(scene.fan_a);
  fan_update(scene.fan_b);
}

void scene_free() {
  // The upper scroller keeps its default waves, the bottom one the zero-table cursors;
  // scroller_free takes only the text cursor.
  for (WaveScroller* scroller : {scene.upper, scene.bottom}) {
    if (scroller == nullptr) continue;
    cursor_free(scroller->xwave);
    cursor_free(scroller->ywave);
    scroller_free(scroller);
  }
  for (TableCursor* cursor : scene.replaced) cursor_free(cursor);
  fan_free(scene.fan_a);
  fan_free(scene.fan_b);
  scene = Scene{};
}
