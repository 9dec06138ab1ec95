// The built-in glyph table of the block font.
#pragma once

#include <array>
#include <cstdint>

// Glyph texts indexed by character code, drawn by draw_text. Each row is five picture
// characters, a space (the gap to the next glyph) and a newline; a five-row glyph ends
// with one more newline, the six-row glyphs 103, 106, 112 and 113 do not. Code 127 is
// null: it has no glyph.
inline constexpr int32_t glyph_table_count = 128;
extern const std::array<const char*, glyph_table_count> glyph_table;
