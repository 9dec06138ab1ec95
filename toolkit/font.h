// Large characters of 5 x 5 picture cells (5 x 6 with descenders), drawn into a Screen.
#pragma once

#include <cstdint>

#include "toolkit/screen.h"

// Owns neither its Screen nor the glyph table, which every font shares.
struct BlockFont {
  Screen* screen;             // current_screen at creation
  int32_t glyph_width;        // columns of one glyph cell, the gap column included: 6
  int32_t glyph_height;       // rows of one glyph cell: 6
  int32_t glyph_count;        // entries in glyphs: 128
  const char* const* glyphs;  // glyph text of each character code; null: no glyph
};

// A font bound to current_screen with the built-in glyph table.
BlockFont* font_create();

// Frees the record only.
void font_free(BlockFont* font);

// Draws glyph index with its top left cell at (x, y), gap column and spaces included,
// so a glyph overwrites a solid 6 x 5 block (6 x 6 for g, j, p, q). An index without a
// glyph draws nothing; cells off the Screen are dropped.
void font_draw_glyph(BlockFont* font, int32_t x, int32_t y, int32_t index);
