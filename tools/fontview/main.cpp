// Shows the printable glyphs of the block font, 16 to a row, as one frame on stdout.
#include <cstdint>
#include <cstdio>

#include "toolkit/font.h"
#include "toolkit/screen.h"

namespace {

constexpr int32_t first_code = 32;
constexpr int32_t last_code = 126;
constexpr int32_t glyphs_per_row = 16;
constexpr int32_t row_count = (last_code - first_code + glyphs_per_row) / glyphs_per_row;
constexpr int32_t line_gap = 1;  // a blank line below the descenders

}  // namespace

int main() {
  Screen* screen = screen_create();
  BlockFont* font = font_create();
  // One more column than the glyphs need: film output drops the last one.
  screen_resize(screen, glyphs_per_row * font->glyph_width + 1,
                row_count * (font->glyph_height + line_gap));
  for (int32_t code = first_code; code <= last_code; ++code) {
    const int32_t slot = code - first_code;
    font_draw_glyph(font, slot % glyphs_per_row * font->glyph_width,
                    slot / glyphs_per_row * (font->glyph_height + line_gap), code);
  }
  screen_print(screen, stdout);
  font_free(font);
  delete screen;
  return 0;
}
