#include "intro/scene.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "effects/scroll_text.h"
#include "effects/swarm.h"
#include "tests/support/test_screen.h"

namespace {

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_x = 0;
    path_y = 0;
  }
  void TearDown() override { scene_free(); }
};

TEST_F(SceneTest, SetupPlacesBothScrollersOverTheScrollText) {
  struct Case {
    int32_t height, upper_y, bottom_y;
  };
  for (const Case& k : {Case{1, 0, 0}, Case{4, 3, 3}, Case{24, 18, 23}, Case{25, 18, 24},
                        Case{50, 37, 49}}) {
    TestScreen screen(30, k.height);
    scene_setup();
    EXPECT_EQ(scene.screen, screen.get()) << "height=" << k.height;
    EXPECT_EQ(scene.upper->y, k.upper_y) << "height=" << k.height;
    EXPECT_EQ(scene.bottom->y, k.bottom_y) << "height=" << k.height;
    EXPECT_EQ(scene.upper->x, 0) << "height=" << k.height;
    EXPECT_EQ(scene.bottom->x, 0) << "height=" << k.height;
    for (const WaveScroller* s : {scene.upper, scene.bottom}) {
      EXPECT_EQ(static_cast<const void*>(s->text->table), scroll_text) << "height=" << k.height;
      EXPECT_EQ(s->text->count, 2691) << "height=" << k.height;
      EXPECT_EQ(s->text->elem_size, 1) << "height=" << k.height;
      EXPECT_EQ(s->text->step, 1) << "height=" << k.height;
      EXPECT_EQ(s->text->pos, 0) << "height=" << k.height;
    }
    EXPECT_NE(scene.upper->text, scene.bottom->text) << "height=" << k.height;
    EXPECT_EQ(static_cast<const void*>(scene.upper->xwave->table), xwave_table.data());
    EXPECT_EQ(static_cast<const void*>(scene.upper->ywave->table), ywave_table.data());
    EXPECT_EQ(static_cast<const void*>(scene.bottom->xwave->table), zero_table_x.data());
    EXPECT_EQ(static_cast<const void*>(scene.bottom->ywave->table), zero_table_y.data());
    EXPECT_EQ(scene.bottom->xwave->count, 20);
    EXPECT_EQ(scene.bottom->ywave->count, 20);
    EXPECT_EQ(scene.bottom->ywave->elem_size, 4);
    scene_free();
  }
}

TEST_F(SceneTest, SetupOverridesEverythingButTheFansEndpoints) {
  TestScreen screen(80, 25);
  scene_setup();
  const LineFan& a = *scene.fan_a;
  const LineFan& b = *scene.fan_b;
  EXPECT_EQ((std::array<int32_t, 8>{a.sx1, a.sy1, a.sx2, a.sy2, a.vx1, a.vy1, a.vx2, a.vy2}),
            (std::array<int32_t, 8>{3, 2, 3, 2, 1, -1, -1, 1}));
  EXPECT_EQ((std::array<int32_t, 8>{b.sx1, b.sy1, b.sx2, b.sy2, b.vx1, b.vy1, b.vx2, b.vy2}),
            (std::array<int32_t, 8>{4, 3, 4, 3, -1, 1, 1, -1}));
  EXPECT_EQ(a.ch, '+');
  EXPECT_EQ(b.ch, '.');
  EXPECT_EQ(a.lines, 6);
  EXPECT_EQ(b.lines, 6);
  EXPECT_EQ(base_x, 37);
  EXPECT_EQ(base_y, 10);
  EXPECT_EQ(scale_x, 2);
  EXPECT_EQ(scale_y, 1);
}

TEST_F(SceneTest, HighestScreenPlacesTheUpperScrollerWithoutOverflow) {
  // Set-up reads only the sizes, so a Screen without cells will do.
  Screen tall{};
  tall.width = 1;
  tall.height = std::numeric_limits<int32_t>::max();
  Screen* previous = current_screen;
  current_screen = &tall;
  scene_setup();
  current_screen = previous;
  // 3 * 2147483647 / 4 = 6442450941 / 4 = 1610612735.25.
  EXPECT_EQ(scene.upper->y, 1610612735);
  EXPECT_EQ(scene.bottom->y, 2147483646);
}

TEST_F(SceneTest, SameSeedGivesTheSameFansFromTheFirstTwentyFourDraws) {
  for (unsigned seed : {1u, 1700000000u}) {
    TestScreen screen(80, 25);
    std::srand(seed);
    std::array<int, 24> r{};
    for (int& v : r) v = std::rand();

    for (int run = 0; run < 2; ++run) {
      std::srand(seed);
      scene_setup();
      const LineFan& a = *scene.fan_a;
      const LineFan& b = *scene.fan_b;
      EXPECT_EQ((std::array<int32_t, 4>{a.x1, a.y1, a.x2, a.y2}),
                (std::array<int32_t, 4>{r[0] % 80, r[1] % 25, r[2] % 80, r[3] % 25}))
          << "seed=" << seed << " run=" << run;
      EXPECT_EQ((std::array<int32_t, 4>{b.x1, b.y1, b.x2, b.y2}),
                (std::array<int32_t, 4>{r[12] % 80, r[13] % 25, r[14] % 80, r[15] % 25}))
          << "seed=" << seed << " run=" << run;
      scene_free();
    }
  }
}

TEST_F(SceneTest, LaterDrawingsCoverEarlierOnes) {
  TestScreen screen(12, 8);
  scene_setup();
  // Logos at (3, 2), two lines per fan, upper scroller on row 6, bottom one on row 7.
  LineFan* a = scene.fan_a;  // (0,1)-(11,1), then (3,3)-(11,3)
  a->x1 = 0;
  a->y1 = 1;
  a->x2 = 11;
  a->y2 = 1;
  LineFan* b = scene.fan_b;  // (1,7)-(1,0), then (5,7)-(5,3)
  b->x1 = 1;
  b->y1 = 7;
  b->x2 = 1;
  b->y2 = 0;
  // The upper scroller straight in its columns: column 0 drops onto the bottom row,
  // the others rise to row 2 through the logo. It shows the words, the bottom one the
  // leading spaces.
  static constexpr std::array<int32_t, 12> rows_up{1, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4};
  cursor_init(scene.upper->xwave, zero_table_x.data(), 4, 20, 1);
  cursor_init(scene.upper->ywave, rows_up.data(), 4, 12, 1);
  scene.upper->text->pos = 120;
  ASSERT_EQ(std::string_view(scroll_text).substr(120, 12), "Tarvel Lines");

  scene_draw();
  EXPECT_EQ(rows(screen.get()), (std::vector<std::string>{
                                    "            ",
                                    "+.+++++++++ ",
                                    " ar/~~~~\\nes",
                                    " . |QUOX|++ ",
                                    " . \\____/   ",
                                    " .   .      ",
                                    " .   .      ",
                                    "            ",
                                }));
}

TEST_F(SceneTest, FirstFrameShowsSpacesOnTheBottomRowAndTheLogosAtTheirStart) {
  TestScreen screen(80, 25);
  std::srand(5);
  scene_setup();
  scene_draw();
  const std::vector<std::string> got = rows(screen.get());
  EXPECT_EQ(got[24], std::string(80, ' '));
  EXPECT_EQ(got[10].substr(37, 6), "/~~~~\\");
  EXPECT_EQ(got[11].substr(37, 6), "|QUOX|");
  EXPECT_EQ(got[12].substr(37, 6), "\\____/");
  EXPECT_EQ(got[14].substr(53, 6), "/~~~~\\");
}

TEST_F(SceneTest, AdvanceMovesEveryMemberOnce) {
  TestScreen screen(80, 25);
  scene_setup();
  for (LineFan* fan : {scene.fan_a, scene.fan_b}) {
    fan->x1 = fan->x2 = 40;
    fan->y1 = fan->y2 = 12;
  }
  // At a frame count of 6 every cursor of both scrollers steps.
  screen->frame_count = 6;
  scene_advance();
  EXPECT_EQ(path_x, 1);
  EXPECT_EQ(path_y, 1);
  for (const WaveScroller* s : {scene.upper, scene.bottom}) {
    EXPECT_EQ(s->text->pos, 1);
    EXPECT_EQ(s->xwave->pos, 1);
    EXPECT_EQ(s->ywave->pos, 1);
  }
  const LineFan& a = *scene.fan_a;
  const LineFan& b = *scene.fan_b;
  EXPECT_EQ((std::array<int32_t, 4>{a.x1, a.y1, a.x2, a.y2}),
            (std::array<int32_t, 4>{41, 11, 39, 13}));
  EXPECT_EQ((std::array<int32_t, 4>{b.x1, b.y1, b.x2, b.y2}),
            (std::array<int32_t, 4>{39, 13, 41, 11}));
}

TEST_F(SceneTest, BottomScrollerAlwaysRunsStraightOnTheLastRow) {
  TestScreen screen(20, 6);
  scene_setup();
  scene.bottom->text->pos = 120;
  const std::string_view text(scroll_text);
  for (int32_t n = 0; n < 60; ++n) {
    screen_clear(screen.get(), '.');
    scroller_draw(scene.bottom);
    std::vector<std::string> want = std::vector<std::string>(5, std::string(20, '.'));
    want.emplace_back(text.substr(static_cast<std::size_t>(120 + n / 3), 20));
    ASSERT_EQ(rows(screen.get()), want) << "after " << n << " frames";
    screen->frame_count = n + 1;
    scene_advance();
  }
}

TEST_F(SceneTest, OneCellScreenRunsForManyFrames) {
  TestScreen screen(1, 1);
  std::FILE* sink = std::fopen("/dev/null", "w");
  ASSERT_NE(sink, nullptr);
  scene_setup();
  // Every frame the cell shows the logo's bottom row at its fourth column.
  for (int frame = 0; frame < 3000; ++frame) {
    screen_clear(screen.get(), ' ');
    scene_draw();
    ASSERT_EQ(rows(screen.get()), std::vector<std::string>{"_"}) << "frame " << frame;
    screen_print(screen.get(), sink);
    scene_advance();
    ASSERT_EQ(scene.fan_a->x1, 0);
    ASSERT_EQ(scene.fan_b->y2, 0);
  }
  std::fclose(sink);
  EXPECT_EQ(path_x, 3000 % 98);
  EXPECT_EQ(path_y, 3000 % 58);
}

}  // namespace
