#include "toolkit/font.h"

#include <string_view>

#include "toolkit/draw.h"
#include "toolkit/glyphs.h"

BlockFont* font_create() {
  auto* font = new BlockFont{};
  font->screen = current_screen;
  font->glyph_width = 6;
  font->glyph_height = 6;
  font->glyph_count = static_cast<int32_t>(glyph_table.size());
  font->glyphs = glyph_table.data();
  return font;
}

void font_free(BlockFont* font) { delete font; }

void font_draw_glyph(BlockFont* font, int32_t x, int32_t y, int32_t index) {
  if (index < 0 || index >= font->glyph_count) return;
  const char* glyph = font->glyphs[index];
  if (glyph == nullptr) return;
  Screen* screen = font->screen;
  // A font created before any Screen has nothing to draw into.
  if (screen == nullptr) return;
  if (x >= screen->width || y >= screen->height) return;
  // x = -glyph_width still passes; draw_text clips what remains cell by cell.
  if (int64_t{x} < -int64_t{font->glyph_width} || int64_t{y} < -int64_t{font->glyph_height}) {
    return;
  }
  draw_text(screen, x, y, std::string_view(glyph));
}
