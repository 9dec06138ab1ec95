#include "toolkit/draw.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_screen.h"
#include "toolkit/screen.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// A Screen cleared to '.', so that drawn spaces show in the goldens.
Screen dotted(int32_t width, int32_t height) {
  Screen screen{};
  screen_resize(&screen, width, height);
  screen_clear(&screen, '.');
  return screen;
}

// A drawing call given two points, (x1, y1) and (x2, y2): corners or ends.
using TwoPointDraw = void (*)(Screen*, int32_t, int32_t, int32_t, int32_t, char);

struct TwoPointCase {
  const char* name;
  int32_t x1;
  int32_t y1;
  int32_t x2;
  int32_t y2;
  Rows expected;
};

// Each case drawn in '#' on a width x height Screen of '.', compared with its golden.
void expect_goldens(TwoPointDraw draw, int32_t width, int32_t height,
                    const std::vector<TwoPointCase>& cases) {
  for (const TwoPointCase& c : cases) {
    Screen screen = dotted(width, height);
    draw(&screen, c.x1, c.y1, c.x2, c.y2, '#');
    EXPECT_EQ(rows(screen), c.expected) << "case " << c.name;
  }
}

int32_t cell(const Screen& screen, int32_t x, int32_t y) {
  return screen.cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(screen.width) +
                      static_cast<std::size_t>(x)];
}

TEST(DrawChar, WritesOnlyOnTheScreen) {
  struct Case {
    const char* name;
    int32_t x;
    int32_t y;
    Rows expected;
  };
  const Case cases[] = {
      {"origin", 0, 0, {"#..", "..."}},
      {"last cell", 2, 1, {"...", "..#"}},
      {"x = -1", -1, 0, {"...", "..."}},
      {"x = width", 3, 0, {"...", "..."}},
      {"y = -1", 0, -1, {"...", "..."}},
      {"y = height", 0, 2, {"...", "..."}},
      {"far corner", kMin, kMax, {"...", "..."}},
  };
  for (const Case& c : cases) {
    Screen screen = dotted(3, 2);
    draw_char(&screen, c.x, c.y, '#');
    EXPECT_EQ(rows(screen), c.expected) << "case " << c.name;
  }
}

// Characters are bytes taken as signed: 200 is held as -56 and prints as 200 again.
TEST(DrawChar, HighBytesAreStoredSignedAndPrintUnchanged) {
  Screen screen = dotted(4, 1);
  draw_char(&screen, 0, 0, static_cast<char>(200));
  draw_char(&screen, 1, 0, static_cast<char>(128));
  draw_char(&screen, 2, 0, static_cast<char>(127));
  EXPECT_EQ(cell(screen, 0, 0), -56);
  EXPECT_EQ(cell(screen, 1, 0), -128);
  EXPECT_EQ(cell(screen, 2, 0), 127);

  char* data = nullptr;
  std::size_t size = 0;
  std::FILE* stream = open_memstream(&data, &size);
  ASSERT_NE(stream, nullptr);
  screen_print(&screen, stream);
  std::fclose(stream);
  const std::string out(data, size);
  std::free(data);
  EXPECT_EQ(out, (std::string{'\n', static_cast<char>(200), static_cast<char>(128), 127}));
}

TEST(DrawText, Goldens) {
  struct Case {
    const char* name;
    int32_t x;
    int32_t y;
    std::string_view text;
    Rows expected;
  };
  const Case cases[] = {
      {"two lines, final newline only moves down", 2, 1, "abc\nde\n",
       {"......",
        "..abc.",
        "..de..",
        "......"}},
      {"starts left of the Screen", -2, 0, "vwxyz",
       {"xyz...",
        "......",
        "......",
        "......"}},
      {"starts above the Screen", 1, -1, "ab\ncd\nef",
       {".cd...",
        ".ef...",
        "......",
        "......"}},
      {"runs off the right and the bottom", 4, 2, "abcd\nef\ngh",
       {"......",
        "......",
        "....ab",
        "....ef"}},
      {"spaces overwrite", 0, 0, "a b",
       {"a b...",
        "......",
        "......",
        "......"}},
      {"tab and carriage return are stored", 0, 0, "\t\r",
       {"\t\r....",
        "......",
        "......",
        "......"}},
      {"stops at a NUL", 0, 0, std::string_view("ab\0cd", 5),
       {"ab....",
        "......",
        "......",
        "......"}},
      {"empty", 0, 0, "",
       {"......",
        "......",
        "......",
        "......"}},
      {"newlines only", 0, 0, "\n\n",
       {"......",
        "......",
        "......",
        "......"}},
  };
  for (const Case& c : cases) {
    Screen screen = dotted(6, 4);
    draw_text(&screen, c.x, c.y, c.text);
    EXPECT_EQ(rows(screen), c.expected) << "case " << c.name;
  }
}

// Columns and rows past the 32-bit range must neither wrap around onto the Screen nor overflow.
TEST(DrawText, FarCoordinatesDrawNothing) {
  const std::string long_text(64, 'x');
  const std::string many_lines(64, '\n');
  struct Case {
    const char* name;
    int32_t x;
    int32_t y;
    std::string text;
  };
  const Case cases[] = {
      {"x near max, long line", kMax - 1, 0, long_text},
      {"x at max", kMax, 1, long_text},
      {"y at max, many lines", 0, kMax, many_lines + "xyz"},
      {"both minimal", kMin, kMin, long_text},
  };
  for (const Case& c : cases) {
    Screen screen = dotted(4, 3);
    draw_text(&screen, c.x, c.y, c.text);
    EXPECT_EQ(rows(screen), (Rows{"....", "....", "...."})) << "case " << c.name;
  }
}

TEST(DrawText, HighBytesAreStoredSigned) {
  Screen screen = dotted(3, 1);
  const char text[] = {static_cast<char>(200), 'a', static_cast<char>(255), '\0'};
  draw_text(&screen, 0, 0, text);
  EXPECT_EQ(cell(screen, 0, 0), -56);
  EXPECT_EQ(cell(screen, 1, 0), 'a');
  EXPECT_EQ(cell(screen, 2, 0), -1);
}

TEST(DrawHline, Goldens) {
  struct Case {
    const char* name;
    int32_t x1;
    int32_t x2;
    int32_t y;
    std::string row1;  // the other rows stay dotted
  };
  const Case cases[] = {
      {"reversed ends", 7, 3, 1, "...#####.."},
      {"left end outside", -5, 2, 1, "###......."},
      {"right end outside", 8, 40, 1, "........##"},
      {"single cell", 4, 4, 1, "....#....."},
      {"whole 32-bit range", kMin, kMax, 1, "##########"},
      {"whole range reversed", kMax, kMin, 1, "##########"},
      {"both beyond the right edge", 10, 20, 1, ".........."},
      {"both left of the Screen", -9, -1, 1, ".........."},
      {"row above", 0, 9, -1, ".........."},
      {"row below", 0, 9, 3, ".........."},
  };
  for (const Case& c : cases) {
    Screen screen = dotted(10, 3);
    draw_hline(&screen, c.x1, c.x2, c.y, '#');
    EXPECT_EQ(rows(screen), (Rows{"..........", c.row1, ".........."})) << "case " << c.name;
  }
}

TEST(DrawVline, Goldens) {
  struct Case {
    const char* name;
    int32_t y1;
    int32_t y2;
    int32_t x;
    Rows expected;
  };
  const Case cases[] = {
      {"last two rows from beyond the bottom", 5 + 3, 5 - 2, 1,
       {"...", "...", "...", ".#.", ".#."}},
      {"top end outside", -4, 1, 2,
       {"..#", "..#", "...", "...", "..."}},
      {"whole 32-bit range", kMax, kMin, 0,
       {"#..", "#..", "#..", "#..", "#.."}},
      {"single cell", 2, 2, 1,
       {"...", "...", ".#.", "...", "..."}},
      {"column left of the Screen", 0, 4, -1,
       {"...", "...", "...", "...", "..."}},
      {"column right of the Screen", 0, 4, 3,
       {"...", "...", "...", "...", "..."}},
      {"both below", 5, 9, 1,
       {"...", "...", "...", "...", "..."}},
      {"both above", -9, -1, 1,
       {"...", "...", "...", "...", "..."}},
  };
  for (const Case& c : cases) {
    Screen screen = dotted(3, 5);
    draw_vline(&screen, c.y1, c.y2, c.x, '#');
    EXPECT_EQ(rows(screen), c.expected) << "case " << c.name;
  }
}

TEST(FillRect, Goldens) {
  expect_goldens(fill_rect, 6, 6, {
      {"corners in either order", 3, 4, 1, 2,
       {"......",
        "......",
        ".###..",
        ".###..",
        ".###..",
        "......"}},
      {"overhangs every edge", -3, -2, 9, 8,
       {"######",
        "######",
        "######",
        "######",
        "######",
        "######"}},
      {"whole 32-bit range", kMax, kMax, kMin, kMin,
       {"######",
        "######",
        "######",
        "######",
        "######",
        "######"}},
      {"bottom right corner cut", 4, 4, 100, 100,
       {"......",
        "......",
        "......",
        "......",
        "....##",
        "....##"}},
      {"single cell", 0, 5, 0, 5,
       {"......",
        "......",
        "......",
        "......",
        "......",
        "#....."}},
      {"left of the Screen", -5, 0, -1, 5,
       {"......", "......", "......", "......", "......", "......"}},
      {"right of the Screen", 6, 0, 9, 5,
       {"......", "......", "......", "......", "......", "......"}},
      {"above the Screen", 0, -5, 5, -1,
       {"......", "......", "......", "......", "......", "......"}},
      {"below the Screen", 0, 6, 5, 60,
       {"......", "......", "......", "......", "......", "......"}},
  });
}

TEST(DrawLine, Goldens) {
  expect_goldens(draw_line, 10, 4, {
      {"columns major, end excluded", 0, 0, 4, 2,
       {"#.........",
        ".##.......",
        "...#......",
        ".........."}},
      {"the same reversed rounds differently", 4, 2, 0, 0,
       {"..........",
        ".##.......",
        "...##.....",
        ".........."}},
      {"rows major", 0, 0, 1, 3,
       {"#.........",
        "#.........",
        ".#........",
        ".........."}},
      {"first point above, clipped", 0, -1, 4, 1,
       {".##.......",
        "...#......",
        "..........",
        ".........."}},
      {"length zero draws its point", 3, 3, 3, 3,
       {"..........",
        "..........",
        "..........",
        "...#......"}},
      {"leftwards off the left edge", 5, 2, -3, 2,
       {"..........",
        "..........",
        "######....",
        ".........."}},
      {"leftwards from beyond the right edge", 12, 0, 3, 0,
       {"....######",
        "..........",
        "..........",
        ".........."}},
      {"both ends left of the Screen", -4, 1, -1, 3,
       {"..........",
        "..........",
        "..........",
        ".........."}},
      {"diagonal, tie goes to the columns", 0, 3, 3, 0,
       {"..........",
        "..#.......",
        ".#........",
        "#........."}},
      {"upwards rows major", 9, 3, 8, -1,
       {"........#.",
        ".........#",
        ".........#",
        ".........#"}},
      {"length zero off the Screen", 10, 0, 10, 0,
       {"..........",
        "..........",
        "..........",
        ".........."}},
      {"far horizontal", -100000, 1, 100000, 1,
       {"..........",
        "##########",
        "..........",
        ".........."}},
      {"whole 32-bit range horizontal", kMin, 2, kMax, 2,
       {"..........",
        "..........",
        "##########",
        ".........."}},
      {"whole 32-bit range vertical", 7, kMax, 7, kMin,
       {".......#..",
        ".......#..",
        ".......#..",
        ".......#.."}},
      // slope exactly 1: row = column all the way along.
      {"whole 32-bit range diagonal", kMin, kMin, kMax, kMax,
       {"#.........",
        ".#........",
        "..#.......",
        "...#......"}},
      // slope 1/2 from 2^16 cells away; at column x the row is (x + 1) / 2.
      {"minor difference beyond 16 bits", -100000, -50000, 100000, 50000,
       {"#.........",
        ".##.......",
        "...##.....",
        ".....##..."}},
  });
}

TEST(DrawLine, NullScreenDrawsNothing) {
  draw_line(nullptr, 0, 0, 5, 5, '#');
  Screen screen = dotted(2, 2);
  draw_line(nullptr, 0, 0, 1, 1, '#');
  EXPECT_EQ(rows(screen), (Rows{"..", ".."}));
}

// The 16.16 walk as a 32-bit program would run it; valid only within that range.
void reference_walk32(Screen* screen, int32_t x1, int32_t y1, int32_t x2, int32_t y2, char c) {
  const int32_t dx = x2 >= x1 ? x2 - x1 : x1 - x2;
  const int32_t dy = y2 >= y1 ? y2 - y1 : y1 - y2;
  const int32_t sx = x2 >= x1 ? 1 : -1;
  const int32_t sy = y2 >= y1 ? 1 : -1;
  if (dx == 0 && dy == 0) {
    draw_char(screen, x1, y1, c);
    return;
  }
  if (dx >= dy) {
    const int32_t slope = dy * 65536 / dx * sy;
    int32_t acc = y1 * 65536 + 32768;
    for (int32_t x = x1; x != x2; x += sx, acc += slope) draw_char(screen, x, acc >> 16, c);
  } else {
    const int32_t slope = dx * 65536 / dy * sx;
    int32_t acc = x1 * 65536 + 32768;
    for (int32_t y = y1; y != y2; y += sy, acc += slope) draw_char(screen, acc >> 16, y, c);
  }
}

// The same walk with exact 64-bit formulas, every step visited and clipped one by one.
void reference_walk64(Screen* screen, int64_t x1, int64_t y1, int64_t x2, int64_t y2, char c) {
  auto put = [&](int64_t x, int64_t y) {
    if (x < 0 || y < 0 || x >= screen->width || y >= screen->height) return;
    screen->cells[static_cast<std::size_t>(y * screen->width + x)] = static_cast<signed char>(c);
  };
  const int64_t dx = x2 >= x1 ? x2 - x1 : x1 - x2;
  const int64_t dy = y2 >= y1 ? y2 - y1 : y1 - y2;
  const int64_t sx = x2 >= x1 ? 1 : -1;
  const int64_t sy = y2 >= y1 ? 1 : -1;
  if (dx == 0 && dy == 0) {
    put(x1, y1);
    return;
  }
  const bool columns = dx >= dy;
  const int64_t steps = columns ? dx : dy;
  const int64_t slope = (columns ? dy : dx) * 65536 / steps * (columns ? sy : sx);
  const int64_t start = (columns ? y1 : x1) * 65536 + 32768;
  for (int64_t k = 0; k < steps; ++k) {
    const int64_t minor = (start + k * slope) >> 16;
    if (columns) {
      put(x1 + sx * k, minor);
    } else {
      put(minor, y1 + sy * k);
    }
  }
}

struct Line {
  int32_t x1;
  int32_t y1;
  int32_t x2;
  int32_t y2;
};

// A small deterministic generator, so that failures can be replayed.
struct Lcg {
  uint32_t state;
  int32_t next(int32_t low, int32_t high) {
    state = state * 1664525u + 1013904223u;
    return low + static_cast<int32_t>((state >> 8) % static_cast<uint32_t>(high - low + 1));
  }
};

std::string describe(const Line& l) {
  return "(" + std::to_string(l.x1) + "," + std::to_string(l.y1) + ")-(" + std::to_string(l.x2) +
         "," + std::to_string(l.y2) + ")";
}

struct Size {
  int32_t width;
  int32_t height;
};

constexpr Size kSizes[] = {{1, 1}, {7, 5}, {16, 9}, {3, 12}};

// draw_line's cells for line l on a dotted Screen of the given size, against the cells
// that the reference walk gives.
template <typename Walk>
void expect_like_reference(Walk reference, const Size& size, const Line& l) {
  Screen expected = dotted(size.width, size.height);
  reference(&expected, l.x1, l.y1, l.x2, l.y2, '#');
  Screen actual = dotted(size.width, size.height);
  draw_line(&actual, l.x1, l.y1, l.x2, l.y2, '#');
  EXPECT_EQ(rows(actual), rows(expected))
      << "case " << size.width << "x" << size.height << " " << describe(l);
}

// Inside the 16.16 range the 64-bit walk with its skipped off-Screen steps gives the 32-bit cells.
TEST(DrawLine, MatchesThe32BitWalkOnRandomLines) {
  Lcg rng{12345};
  int compared = 0;
  for (const Size& size : kSizes) {
    for (int i = 0; i < 400; ++i) {
      // Mostly near the Screen, crossing its edges; every tenth line far outside.
      const int32_t span = i % 10 == 9 ? 16000 : 25;
      const Line l{rng.next(-span, span), rng.next(-span, span), rng.next(-span, span),
                   rng.next(-span, span)};
      expect_like_reference(reference_walk32, size, l);
      ++compared;
    }
  }
  EXPECT_EQ(compared, 1600);
}

// Beyond the 16.16 range the exact 64-bit walk is the reference.
TEST(DrawLine, MatchesThe64BitWalkOnFarLines) {
  Lcg rng{777};
  std::vector<Line> lines = {
      {-100000, 1, 100000, 1},       {-100000, -50000, 100000, 50000},
      {100000, 50000, -100000, -50000}, {3, -400000, 5, 400000},
      {-70000, 70000, 70000, -70000}, {-40000, -1, 40001, 6},
      {0, 0, 3, 200000},               {1000000, 3, -1000000, 4},
  };
  for (int i = 0; i < 30; ++i) {
    lines.push_back({rng.next(-300000, 300000), rng.next(-300000, 300000),
                     rng.next(-300000, 300000), rng.next(-300000, 300000)});
  }
  for (int i = 0; i < 30; ++i) {
    // Lines that pass near the Screen from far away: one end close, the other far.
    lines.push_back({rng.next(-5, 20), rng.next(-5, 15), rng.next(-500000, 500000),
                     rng.next(-500000, 500000)});
  }
  int compared = 0;
  for (const Size& size : kSizes) {
    for (const Line& l : lines) {
      expect_like_reference(reference_walk64, size, l);
      ++compared;
    }
  }
  EXPECT_EQ(compared, static_cast<int>(std::size(kSizes) * lines.size()));
}

// A Screen taller than 32767 rows: every row of the walk gets its cell.
TEST(DrawLine, TallScreenGetsACellInEveryRow) {
  Screen actual{};
  screen_resize(&actual, 4, 200001);
  ASSERT_EQ(actual.height, 200001);
  draw_line(&actual, 0, 0, 3, 200000, '#');
  Screen expected{};
  screen_resize(&expected, 4, 200001);
  reference_walk64(&expected, 0, 0, 3, 200000, '#');
  EXPECT_TRUE(actual.cells == expected.cells);
  int32_t rows_hit = 0;
  for (int32_t y = 0; y < 200001; ++y) {
    int32_t in_row = 0;
    for (int32_t x = 0; x < 4; ++x) in_row += cell(actual, x, y) == '#' ? 1 : 0;
    if (in_row == 1) ++rows_hit;
    if (y == 200000) {
      EXPECT_EQ(in_row, 0) << "the end row is not drawn";
    }
  }
  EXPECT_EQ(rows_hit, 200000);
}

// A column difference of 40000 (beyond 16.16 with 32 bits) on a Screen that holds it.
TEST(DrawLine, MinorDifferenceAbove32767) {
  Screen actual{};
  screen_resize(&actual, 40001, 2);
  ASSERT_EQ(actual.width, 40001);
  draw_line(&actual, 40000, -50000, 0, 50000, '#');
  Screen expected{};
  screen_resize(&expected, 40001, 2);
  reference_walk64(&expected, 40000, -50000, 0, 50000, '#');
  EXPECT_TRUE(actual.cells == expected.cells);
  // slope = -(40000 * 65536 / 100000) = -26214; row 0 is step 50000, whose column is
  // (40000 * 65536 + 32768 - 26214 * 50000) >> 16 = 20000, and row 1 stays there.
  EXPECT_EQ(cell(actual, 20000, 0), '#');
  EXPECT_EQ(cell(actual, 20000, 1), '#');
  int32_t drawn = 0;
  for (int32_t value : actual.cells) drawn += value == '#' ? 1 : 0;
  EXPECT_EQ(drawn, 2);
}

TEST(Drawing, OnAnEmptyScreenDoesNothing) {
  Screen screen{};
  screen_resize(&screen, 0, 0);
  ASSERT_TRUE(screen.cells.empty());
  draw_char(&screen, 0, 0, '#');
  draw_text(&screen, 0, 0, "abc\ndef");
  draw_hline(&screen, -5, 5, 0, '#');
  draw_vline(&screen, -5, 5, 0, '#');
  fill_rect(&screen, -5, -5, 5, 5, '#');
  draw_line(&screen, -5, -5, 5, 5, '#');
  draw_line(&screen, 0, 0, 0, 0, '#');
  draw_line(&screen, -1, 0, 1, 0, '#');
  EXPECT_TRUE(screen.cells.empty());
  EXPECT_EQ(screen.width, 0);
  EXPECT_EQ(screen.height, 0);
}

}  // namespace
