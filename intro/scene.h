// What the intro shows: two line fans behind two scrollers, the logo swarm on top.
#pragma once

#include "effects/fan.h"
#include "effects/scroller.h"
#include "toolkit/cursor.h"

// The scene's members, held for the life of the process. `replaced` keeps the default
// cursors that the set-up swapped out; the intro never frees them.
struct Scene {
  Screen* screen;  // current_screen at set-up; the swarm draws into it
  WaveScroller* upper;
  WaveScroller* bottom;
  LineFan* fan_a;
  LineFan* fan_b;
  TableCursor* replaced[4];
};

extern Scene scene;

// Builds the scene on current_screen, which must have its final size: the upper and
// the bottom scroller, fan A, fan B (the only random draws), then the swarm's set-up.
// A failed allocation throws std::bad_alloc; what was built stays in `scene`.
void scene_setup();

// Fan A, fan B, the upper scroller, the bottom scroller, then the five logos, so that
// each covers what was drawn before it.
void scene_draw();

// Swarm, upper scroller, bottom scroller, fan A, fan B.
void scene_advance();

// Releases every member and every cursor the set-up made and empties `scene`. The
// intro never calls it; tests do.
void scene_free();
