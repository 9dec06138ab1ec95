#include "effects/scroller.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <memory>
#include <string>

#include "tests/support/test_screen.h"

namespace {

constexpr int32_t int_max = std::numeric_limits<int32_t>::max();
constexpr int32_t int_min = std::numeric_limits<int32_t>::min();

struct ScrollerDeleter {
  // The scroller frees its text cursor; the wave cursors it was created with are ours.
  void operator()(WaveScroller* scroller) const {
    cursor_free(scroller->xwave);
    cursor_free(scroller->ywave);
    scroller_free(scroller);
  }
};
using ScrollerHolder = std::unique_ptr<WaveScroller, ScrollerDeleter>;

ScrollerHolder make_scroller() { return ScrollerHolder{scroller_create()}; }

// Rebinds the scroller's own wave cursors to the zero tables: a straight ticker line.
void flatten(WaveScroller* scroller) {
  cursor_init(scroller->xwave, zero_table_x.data(), 4, 20, 1);
  cursor_init(scroller->ywave, zero_table_y.data(), 4, 20, 1);
}

TEST(ScrollerCreate, DefaultTextAndWavesAtTheOrigin) {
  TestScreen screen(80, 25);
  ScrollerHolder s = make_scroller();
  EXPECT_EQ(s->screen, screen.get());
  EXPECT_EQ(s->width, 80);
  EXPECT_EQ(s->height, 25);
  EXPECT_EQ(s->x, 0);
  EXPECT_EQ(s->y, 0);
  EXPECT_EQ(s->z, 0);
  EXPECT_EQ(s->depth, 0);

  struct Want {
    const char* name;
    const TableCursor* cursor;
    const void* table;
    int32_t elem_size, count;
  };
  for (const Want& w : {Want{"text", s->text, default_text, 1, 31},
                        Want{"xwave", s->xwave, xwave_table.data(), 4, 42},
                        Want{"ywave", s->ywave, ywave_table.data(), 4, 118}}) {
    EXPECT_EQ(static_cast<const void*>(w.cursor->table), w.table) << w.name;
    EXPECT_EQ(w.cursor->elem_size, w.elem_size) << w.name;
    EXPECT_EQ(w.cursor->count, w.count) << w.name;
    EXPECT_EQ(w.cursor->step, 1) << w.name;
    EXPECT_EQ(w.cursor->pos, 0) << w.name;
  }
}

TEST(ScrollerDraw, StraightWindowRepeatsTheTextAcrossTheRow) {
  struct Case {
    int32_t width;
    int32_t text_pos;
    std::string row;
  };
  const Case cases[] = {
      {80, 0,
       "A waved scroll's default text. A waved scroll's default text. A waved scroll's d"},
      {5, 28, "t. A "},
      {3, 30, " A "},
      {1, 0, "A"},
  };
  for (const Case& k : cases) {
    TestScreen screen(k.width, 1);
    ScrollerHolder s = make_scroller();
    flatten(s.get());
    s->text->pos = k.text_pos;
    scroller_draw(s.get());
    EXPECT_EQ(rows(screen.get()), std::vector<std::string>{k.row}) << "width=" << k.width;
  }
}

TEST(ScrollerDraw, DefaultWavesShiftEachColumn) {
  TestScreen screen(10, 9);
  screen_clear(screen.get(), '.');
  ScrollerHolder s = make_scroller();
  s->y = 4;
  // Column i lands at i + xwave[i], row 4 + ywave[i]: 'A' (0,4), ' ' (2,5), 'w' (4,6),
  // 'a' (6,6), 'v' (8,7), 'e' (9,7); the rest fall right of column 9.
  scroller_draw(s.get());
  EXPECT_EQ(rows(screen.get()), (std::vector<std::string>{
                                    "..........",
                                    "..........",
                                    "..........",
                                    "..........",
                                    "A.........",
                                    ".. .......",
                                    "....w.a...",
                                    "........ve",
                                    "..........",
                                }));
}

TEST(ScrollerDraw, ClipsWhatTheRowOffsetPushesBelowALowScreen) {
  // The upper scroller of a Screen 4 rows high sits on row 3.
  TestScreen screen(10, 4);
  screen_clear(screen.get(), '.');
  ScrollerHolder s = make_scroller();
  s->y = 3;
  cursor_init(s->xwave, zero_table_x.data(), 4, 20, 1);
  // Row offsets from entry 15 on: 3 2 2 1 0 -1 -2 -2 -3 -3; the first four are lost.
  s->ywave->pos = 15;
  scroller_draw(s.get());
  EXPECT_EQ(rows(screen.get()), (std::vector<std::string>{
                                    "........sc",
                                    "......d ..",
                                    ".....e....",
                                    "....v.....",
                                }));
}

TEST(ScrollerDraw, PositionsFarOffTheScreenDoNotOverflow) {
  struct Case {
    int32_t x, y;
    std::string row0;
  };
  const Case cases[] = {
      {-3, 0, "aved sc..."},
      {int_max, 0, ".........."},
      {int_max - 5, 0, ".........."},
      {int_min, 0, ".........."},
      {0, int_max, ".........."},
      {0, int_min, ".........."},
  };
  for (const Case& k : cases) {
    TestScreen screen(10, 1);
    screen_clear(screen.get(), '.');
    ScrollerHolder s = make_scroller();
    flatten(s.get());
    s->x = k.x;
    s->y = k.y;
    scroller_draw(s.get());
    EXPECT_EQ(rows(screen.get()), std::vector<std::string>{k.row0})
        << "x=" << k.x << " y=" << k.y;
  }
  // The same with the default waves, whose offsets reach -7 and +7.
  for (const Case& k : cases) {
    if (k.x == -3) continue;
    TestScreen screen(10, 1);
    screen_clear(screen.get(), '.');
    ScrollerHolder s = make_scroller();
    s->x = k.x;
    s->y = k.y;
    scroller_draw(s.get());
    EXPECT_EQ(rows(screen.get()), std::vector<std::string>{k.row0})
        << "waving x=" << k.x << " y=" << k.y;
  }
}

TEST(ScrollerDraw, UsesTheScreensWidthAtTheCall) {
  TestScreen screen(80, 25);
  ScrollerHolder s = make_scroller();
  flatten(s.get());
  screen_resize(screen.get(), 6, 2);
  scroller_draw(s.get());
  EXPECT_EQ(rows(screen.get()), (std::vector<std::string>{
                                    "A wave",
                                    "      ",
                                }));
}

TEST(ScrollerDraw, TwiceWithoutAdvanceDrawsTheSame) {
  TestScreen screen(40, 12);
  ScrollerHolder s = make_scroller();
  s->y = 6;
  s->text->pos = 5;
  s->xwave->pos = 17;
  s->ywave->pos = 60;
  scroller_draw(s.get());
  const std::vector<std::string> first = rows(screen.get());
  EXPECT_NE(first, blank_rows(40, 12));
  EXPECT_EQ(s->text->pos, 5);
  EXPECT_EQ(s->xwave->pos, 17);
  EXPECT_EQ(s->ywave->pos, 60);
  scroller_draw(s.get());
  EXPECT_EQ(rows(screen.get()), first);
}

struct Steps {
  bool text, xwave, ywave;
  bool operator==(const Steps&) const = default;
};

// Which cursors one scroller_advance moved.
Steps advance_and_see(WaveScroller* s) {
  const int32_t t = s->text->pos, xw = s->xwave->pos, yw = s->ywave->pos;
  scroller_advance(s);
  return {s->text->pos != t, s->xwave->pos != xw, s->ywave->pos != yw};
}

TEST(ScrollerAdvance, StepsByTheFrameCounter) {
  struct Case {
    int32_t n;
    Steps want;
  };
  const Case cases[] = {
      {0, {true, true, true}},   {1, {false, false, false}}, {2, {false, true, false}},
      {3, {true, false, true}},  {4, {false, true, false}},  {5, {false, false, false}},
      {6, {true, true, true}},   {9, {true, false, true}},   {int_max, {false, false, false}},
  };
  TestScreen screen(20, 5);
  ScrollerHolder s = make_scroller();
  for (const Case& k : cases) {
    screen->frame_count = k.n;
    EXPECT_EQ(advance_and_see(s.get()), k.want) << "n=" << k.n;
  }
}

TEST(ScrollerAdvance, KeepsItsRhythmWhereTheFrameCounterWraps) {
  TestScreen screen(4, 2);
  ScrollerHolder s = make_scroller();
  std::FILE* sink = std::fopen("/dev/null", "w");
  ASSERT_NE(sink, nullptr);
  // 2147483645 is 5 mod 6; after 2147483647 the counter goes on at 2.
  screen->frame_count = 2147483644;
  const Steps want[] = {
      {false, false, false},  // 2147483645
      {true, true, true},     // 2147483646
      {false, false, false},  // 2147483647
      {false, true, false},   // 2
      {true, false, true},    // 3
      {false, true, false},   // 4
      {false, false, false},  // 5
      {true, true, true},     // 6
  };
  int frame = 0;
  for (const Steps& w : want) {
    screen_print(screen.get(), sink);
    EXPECT_EQ(advance_and_see(s.get()), w) << "frame " << frame << " n=" << screen->frame_count;
    ++frame;
  }
  std::fclose(sink);
}

TEST(ScrollerAdvance, AfterNFramesTheCursorsStandAtNDivThreeAndTwo) {
  TestScreen screen(4, 2);
  ScrollerHolder s = make_scroller();
  // The frame loop's order: print counts the frame, then the scroller advances.
  for (int32_t n = 1; n <= 300; ++n) {
    screen->frame_count = n;
    scroller_advance(s.get());
  }
  EXPECT_EQ(s->text->pos, 100 % 31);
  EXPECT_EQ(s->xwave->pos, 150 % 42);
  EXPECT_EQ(s->ywave->pos, 100 % 118);
}

}  // namespace
