// A fan of straight lines between two endpoints that bounce around the Screen.
#pragma once

#include <cstdint>

#include "effects/effect_header.h"

// Line k starts where endpoint 1 arrives after k bounced steps (sx1, sy1) and ends
// where endpoint 2 arrives after k bounced steps (sx2, sy2). Third components are zero.
struct LineFan : EffectHeader {
  int32_t x1, y1, z1;
  int32_t x2, y2, z2;
  int32_t vx1, vy1, vz1;  // endpoint velocities, cells per frame
  int32_t vx2, vy2, vz2;
  int32_t sx1, sy1, sz1;  // per-line steps of the line starts
  int32_t sx2, sy2, sz2;  // per-line steps of the line ends
  int32_t lines;          // lines per draw
  char ch;
};

// Moves c by d. Below 0 it stops at 0, else at size or beyond it stops at size - 1; in
// both cases d changes sign and the result is true. The lower edge is tested first.
bool fan_bounce(int32_t& c, int32_t& d, int32_t size);

// A fan on current_screen with endpoints, velocities and steps from twelve rand() draws,
// height / 4 lines and the character 'x'.
LineFan* fan_create();

// Draws the fan's lines; the record stays as it is.
void fan_draw(const LineFan* fan);

// Moves both endpoints by their velocities; an endpoint that hits an edge turns both
// its velocity and its per-line step around on that axis.
void fan_update(LineFan* fan);

void fan_free(LineFan* fan);
