#include "effects/fan.h"

#include <cstdlib>
#include <limits>

#include "toolkit/draw.h"

namespace {

// -INT32_MIN does not exist; the largest positive delta still points the other way.
int32_t turned(int32_t d) {
  return d == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max() : -d;
}

// rand() is never negative; a Screen left empty by a failed resize has no cells to
// pick, and 0 avoids the division by zero.
int32_t random_below(int32_t size) {
  const int32_t r = std::rand();
  return size > 0 ? r % size : 0;
}

int32_t random_velocity() { return (std::rand() & 1) + 1; }

int32_t random_step() { return (std::rand() & 7) + 1; }

}  // namespace

bool fan_bounce(int32_t& c, int32_t& d, int32_t size) {
  // In 64 bits the sum cannot overflow; once clamped it fits 32 bits again.
  const int64_t moved = int64_t{c} + d;
  if (size < 1) {
    c = 0;  // an empty Screen (a failed resize) keeps its endpoints at 0
  } else if (moved < 0) {
    c = 0;
  } else if (moved >= size) {
    c = size - 1;
  } else {
    c = static_cast<int32_t>(moved);
    return false;
  }
  d = turned(d);
  return true;
}

LineFan* fan_create() {
  auto* fan = new LineFan{};
  Screen* screen = current_screen;
  fan->screen = screen;
  fan->width = screen->width;
  fan->height = screen->height;
  // One statement per draw: the order decides which value lands in which field.
  fan->x1 = random_below(fan->width);
  fan->y1 = random_below(fan->height);
  fan->x2 = random_below(fan->width);
  fan->y2 = random_below(fan->height);
  fan->vx1 = random_velocity();
  fan->vy1 = random_velocity();
  fan->vx2 = random_velocity();
  fan->vy2 = random_velocity();
  fan->sx1 = random_step();
  fan->sy1 = random_step();
  fan->sx2 = random_step();
  fan->sy2 = random_step();
  fan->lines = screen->height / 4;
  fan->ch = 'x';
  return fan;
}

void fan_draw(const LineFan* fan) {
  Screen* screen = fan->screen;
  const int32_t w = screen->width;
  const int32_t h = screen->height;
  int32_t x1 = fan->x1, y1 = fan->y1, x2 = fan->x2, y2 = fan->y2;
  int32_t sx1 = fan->sx1, sy1 = fan->sy1, sx2 = fan->sx2, sy2 = fan->sy2;
  for (int32_t k = 0; k < fan->lines; ++k) {
    draw_line(screen, x1, y1, x2, y2, fan->ch);
    fan_bounce(x1, sx1, w);
    fan_bounce(y1, sy1, h);
    fan_bounce(x2, sx2, w);
    fan_bounce(y2, sy2, h);
  }
}

void fan_update(LineFan* fan) {
  const int32_t w = fan->screen->width;
  const int32_t h = fan->screen->height;
  // The line starts turn with the endpoint, so the fan opens away from the edge it hit.
  if (fan_bounce(fan->x1, fan->vx1, w)) fan->sx1 = turned(fan->sx1);
  if (fan_bounce(fan->y1, fan->vy1, h)) fan->sy1 = turned(fan->sy1);
  if (fan_bounce(fan->x2, fan->vx2, w)) fan->sx2 = turned(fan->sx2);
  if (fan_bounce(fan->y2, fan->vy2, h)) fan->sy2 = turned(fan->sy2);
}

void fan_free(LineFan* fan) { delete fan; }
