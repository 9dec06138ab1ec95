#include "toolkit/font.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_screen.h"
#include "toolkit/screen.h"

namespace {

struct ScreenDeleter {
  void operator()(Screen* screen) const { delete screen; }
};
struct FontDeleter {
  void operator()(BlockFont* font) const { font_free(font); }
};
using ScreenPtr = std::unique_ptr<Screen, ScreenDeleter>;
using FontPtr = std::unique_ptr<BlockFont, FontDeleter>;

// A width x height Screen filled with fill, current when the font is created.
ScreenPtr make_screen(int32_t width, int32_t height, char fill) {
  ScreenPtr screen(screen_create());
  screen_resize(screen.get(), width, height);
  screen_clear(screen.get(), fill);
  return screen;
}

std::string lines(const Rows& rows) {
  std::string out;
  for (const std::string& row : rows) out += row + '\n';
  return out;
}

// All cells of the Screen, one line per row, every column included.
std::string picture(const Screen* screen) { return lines(rows(screen)); }

// Glyph index drawn at (0, 0) on a width x height Screen of '~', 6 x 6 unless given.
std::string drawn_alone(int32_t index, int32_t width = 6, int32_t height = 6) {
  ScreenPtr screen = make_screen(width, height, '~');
  FontPtr font(font_create());
  font_draw_glyph(font.get(), 0, 0, index);
  return picture(screen.get());
}

TEST(Font, CreateBindsCurrentScreenAndSharedTable) {
  ScreenPtr first = make_screen(10, 10, ' ');
  FontPtr a(font_create());
  ScreenPtr second = make_screen(10, 10, ' ');
  FontPtr b(font_create());
  EXPECT_EQ(a->screen, first.get());
  EXPECT_EQ(b->screen, second.get());
  EXPECT_EQ(a->glyph_width, 6);
  EXPECT_EQ(a->glyph_height, 6);
  EXPECT_EQ(a->glyph_count, 128);
  ASSERT_NE(a->glyphs, nullptr);
  EXPECT_EQ(a->glyphs, b->glyphs);
}

TEST(Font, GlyphOverwritesSolidBlockAndLeavesSixthRow) {
  EXPECT_EQ(drawn_alone('A', 8, 7),
            lines({"##### ~~",
                   "#   # ~~",
                   "##### ~~",
                   "#   # ~~",
                   "#   # ~~",
                   "~~~~~~~~",
                   "~~~~~~~~"}));
}

TEST(Font, DescenderGlyphWritesSixRows) {
  EXPECT_EQ(drawn_alone('g', 7, 7),
            lines({"      ~",
                   "  ##  ~",
                   " #  # ~",
                   "  ### ~",
                   "    # ~",
                   " ###  ~",
                   "~~~~~~~"}));
}

TEST(Font, IndexesWithoutGlyphDrawNothing) {
  const std::string untouched = lines({"~~~~~~", "~~~~~~", "~~~~~~", "~~~~~~", "~~~~~~", "~~~~~~"});
  for (int32_t index : {127, 128, -1, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(drawn_alone(index), untouched) << "index=" << index;
  }
}

TEST(Font, GlyphTenEqualsGlyphZero) {
  EXPECT_EQ(drawn_alone(10), drawn_alone(0));
  EXPECT_EQ(drawn_alone(0), lines({"## ## ", "## ## ", "## ## ", "## ## ", "## ## ", "~~~~~~"}));
}

// Pictures from the glyph tables, spaces for the full stops, the gap column and, for
// five-row glyphs, the untouched sixth row.
TEST(Font, GlyphsMatchTheirPictures) {
  struct Case {
    int32_t index;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {2, {"## ## ", "##  # ", "## ## ", "## #  ", "## ## ", "~~~~~~"}},
      {11, {"## ## ", "## ## ", "## #  ", "## ## ", "## ## ", "~~~~~~"}},
      {13, {"## #  ", "## ## ", "## ## ", "## ## ", "## #  ", "~~~~~~"}},
      {16, {"# ### ", "# # # ", "# # # ", "# # # ", "# ### ", "~~~~~~"}},
      {26, {"# ### ", "# # # ", "# ### ", "# # # ", "# # # ", "~~~~~~"}},
      {31, {"# ### ", "# #   ", "# ##  ", "# #   ", "# #   ", "~~~~~~"}},
      {' ', {"      ", "      ", "      ", "      ", "      ", "~~~~~~"}},
      {'"', {" \" \"  ", " \" \"  ", "      ", "      ", "      ", "~~~~~~"}},
      {'4', {"#   # ", "#   # ", "##### ", "    # ", "    # ", "~~~~~~"}},
      {'@', {" @@@  ", "@ @@@ ", "@ @@@ ", "@     ", " @@@@ ", "~~~~~~"}},
      {'R', {"####  ", "#   # ", "####  ", "#  #  ", "#   # ", "~~~~~~"}},
      {'j', {"    # ", "      ", "   ## ", "    # ", " #  # ", "  ##  "}},
      {'~', {" # #  ", "# #   ", "      ", "      ", "      ", "~~~~~~"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(drawn_alone(c.index), lines(c.rows)) << "index=" << c.index;
  }
}

// Glyph 'L' has a distinct first and last picture column.
TEST(Font, ClipsAtTheScreenEdges) {
  struct Case {
    const char* name;
    int32_t width;
    int32_t height;
    int32_t x;
    int32_t y;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"last picture column and gap at x = -4", 4, 6, -4, 0,
       {"  ~~", "  ~~", "  ~~", "  ~~", "# ~~", "~~~~"}},
      {"nothing at x = -6", 4, 6, -6, 0, {"~~~~", "~~~~", "~~~~", "~~~~", "~~~~", "~~~~"}},
      {"nothing at x = -7", 4, 6, -7, 0, {"~~~~", "~~~~", "~~~~", "~~~~", "~~~~", "~~~~"}},
      {"first two picture columns at x = width - 2", 4, 6, 2, 0,
       {"~~# ", "~~# ", "~~# ", "~~# ", "~~##", "~~~~"}},
      {"nothing at x = width", 4, 6, 4, 0, {"~~~~", "~~~~", "~~~~", "~~~~", "~~~~", "~~~~"}},
      {"last picture row at y = -4", 7, 3, 0, -4, {"##### ~", "~~~~~~~", "~~~~~~~"}},
      {"nothing at y = -6", 7, 3, 0, -6, {"~~~~~~~", "~~~~~~~", "~~~~~~~"}},
      {"first two rows at y = height - 2", 7, 3, 0, 1, {"~~~~~~~", "#     ~", "#     ~"}},
      {"nothing at y = height", 7, 3, 0, 3, {"~~~~~~~", "~~~~~~~", "~~~~~~~"}},
      {"one cell on a 1 x 1 Screen", 1, 1, 0, 0, {"#"}},
      {"bottom right corner on a 1 x 1 Screen", 1, 1, -4, -4, {"#"}},
      {"nothing on an empty Screen", 0, 0, 0, 0, {}},
  };
  for (const Case& c : cases) {
    ScreenPtr screen = make_screen(c.width, c.height, '~');
    FontPtr font(font_create());
    font_draw_glyph(font.get(), c.x, c.y, 'L');
    EXPECT_EQ(picture(screen.get()), lines(c.rows)) << c.name;
  }
}

// Every text keeps the layout draw_text relies on: rows of five picture characters, a
// space and a newline, and a closing newline after five rows.
TEST(Font, EveryGlyphHasTheStoredForm) {
  ScreenPtr screen = make_screen(1, 1, ' ');
  FontPtr font(font_create());
  ASSERT_EQ(font->glyph_count, 128);
  for (int32_t code = 0; code < font->glyph_count; ++code) {
    const char* glyph = font->glyphs[code];
    if (code == 127) {
      EXPECT_EQ(glyph, nullptr);
      continue;
    }
    ASSERT_NE(glyph, nullptr) << "code=" << code;
    const std::string_view text(glyph);
    const bool tall = code == 'g' || code == 'j' || code == 'p' || code == 'q';
    ASSERT_EQ(text.size(), tall ? 42U : 36U) << "code=" << code;
    const char ink = code == '"' ? '"' : code == '@' ? '@' : '#';
    const std::size_t rows = tall ? 6 : 5;
    for (std::size_t row = 0; row < rows; ++row) {
      const std::string_view line = text.substr(row * 7, 7);
      for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_TRUE(line[i] == ink || line[i] == ' ')
            << "code=" << code << " row=" << row << " column=" << i << " byte=" << int{line[i]};
      }
      EXPECT_EQ(line[5], ' ') << "code=" << code << " row=" << row;
      EXPECT_EQ(line[6], '\n') << "code=" << code << " row=" << row;
    }
    if (!tall) {
      EXPECT_EQ(text[35], '\n') << "code=" << code;
    }
  }
}

}  // namespace
