#include "effects/swarm.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "effects/logo_art.h"
#include "tests/support/test_screen.h"
#include "toolkit/draw.h"

namespace {

// Each test starts the path where the program starts it.
class Swarm : public ::testing::Test {
 protected:
  void SetUp() override {
    path_x = 0;
    path_y = 0;
  }
};

struct Corner {
  int32_t x, y;
};

// The five logos drawn by hand at the given top-left corners, in order.
std::vector<std::string> logos_at(int32_t width, int32_t height, const Corner (&corners)[5]) {
  TestScreen expected(width, height);
  for (const Corner& c : corners) draw_text(expected.get(), c.x, c.y, logo_art);
  return rows(expected.get());
}

TEST_F(Swarm, SetupFromTheScreensSize) {
  struct Case {
    int32_t width, height;
    int32_t base_x, base_y, scale_x, scale_y;
  };
  const Case cases[] = {
      {80, 25, 37, 10, 2, 1}, {40, 24, 17, 10, 1, 1}, {80, 50, 37, 23, 2, 2},
      {39, 19, 16, 7, 0, 0},  {39, 25, 16, 10, 0, 1}, {80, 19, 37, 7, 2, 0},
      {1, 1, -3, -2, 0, 0},   {132, 60, 63, 28, 3, 3},
  };
  for (const Case& k : cases) {
    TestScreen screen(k.width, k.height);
    path_x = 11;
    path_y = 7;
    swarm_setup(screen.get());
    EXPECT_EQ(base_x, k.base_x) << k.width << "x" << k.height;
    EXPECT_EQ(base_y, k.base_y) << k.width << "x" << k.height;
    EXPECT_EQ(scale_x, k.scale_x) << k.width << "x" << k.height;
    EXPECT_EQ(scale_y, k.scale_y) << k.width << "x" << k.height;
    EXPECT_EQ(path_x, 11) << k.width << "x" << k.height;
    EXPECT_EQ(path_y, 7) << k.width << "x" << k.height;
  }
}

TEST_F(Swarm, FirstFrameOnEightyByTwentyFive) {
  TestScreen screen(80, 25);
  swarm_setup(screen.get());
  swarm_draw(screen.get());
  EXPECT_EQ(rows(screen.get()),
            logos_at(80, 25, {{37, 10}, {53, 14}, {65, 17}, {73, 19}, {67, 19}}));
  EXPECT_EQ(path_x, 0);
  EXPECT_EQ(path_y, 0);
}

TEST_F(Swarm, LaterLogoCoversAnEarlierOne) {
  // Logo 2 at (65, 17) and logo 4 at (67, 19) share row 19 from column 67 on.
  TestScreen screen(80, 25);
  swarm_setup(screen.get());
  swarm_draw(screen.get());
  EXPECT_EQ(rows(screen.get())[19].substr(65, 14), "\\_/~~~~\\/~~~~\\");
}

TEST_F(Swarm, NarrowScreenClipsLogosAtBothSides) {
  TestScreen screen(40, 24);
  swarm_setup(screen.get());
  // Entry 71 is -18: logo 0 at column -1 loses its first column.
  path_x = 71;
  swarm_draw(screen.get());
  std::vector<std::string> got = rows(screen.get());
  EXPECT_EQ(got[10].substr(0, 6), "~~~~\\ ");
  EXPECT_EQ(got[11].substr(0, 6), "QUOX| ");
  EXPECT_EQ(got[12].substr(0, 6), "____/ ");

  // Entry 22 is +18: logo 0 at column 35 runs past the right edge.
  screen_clear(screen.get(), ' ');
  path_x = 22;
  swarm_draw(screen.get());
  got = rows(screen.get());
  EXPECT_EQ(got[10], std::string(35, ' ') + "/~~~~");
  EXPECT_EQ(got[11], std::string(35, ' ') + "|QUOX");
  EXPECT_EQ(got[12], std::string(35, ' ') + "\\____");
}

TEST_F(Swarm, TallScreenDoublesTheRowSwing) {
  TestScreen screen(80, 50);
  swarm_setup(screen.get());
  // Entry 40 is -9: logo 0's top row is 23 - 18 = 5.
  path_y = 40;
  swarm_draw(screen.get());
  std::vector<std::string> got = rows(screen.get());
  for (int32_t y = 0; y < 5; ++y) EXPECT_EQ(got[y], std::string(80, ' ')) << "row " << y;
  EXPECT_EQ(got[5].substr(37, 6), "/~~~~\\");

  // Entry 11 is +9: logo 0's top row is 23 + 18 = 41, its bottom row 43.
  screen_clear(screen.get(), ' ');
  path_y = 11;
  swarm_draw(screen.get());
  got = rows(screen.get());
  EXPECT_EQ(got[41].substr(37, 6), "/~~~~\\");
  EXPECT_EQ(got[43].substr(37, 6), "\\____/");
  for (int32_t y = 44; y < 50; ++y) EXPECT_EQ(got[y], std::string(80, ' ')) << "row " << y;
}

TEST_F(Swarm, ScaleZeroKeepsTheLogosOnTheBase) {
  // 39 x 19: base (16, 7), both scales 0, every logo on the base.
  TestScreen screen(39, 19);
  swarm_setup(screen.get());
  for (int32_t p : {0, 13, 50, 97}) {
    screen_clear(screen.get(), ' ');
    path_x = p;
    path_y = p % 58;
    swarm_draw(screen.get());
    EXPECT_EQ(rows(screen.get()),
              logos_at(39, 19, {{16, 7}, {16, 7}, {16, 7}, {16, 7}, {16, 7}}))
        << "path " << p;
  }
}

TEST_F(Swarm, OnlyOneAxisMovesWhereTheOtherScaleIsZero) {
  // 39 x 25: columns stay at 16, rows follow ypath + 10.
  {
    TestScreen screen(39, 25);
    swarm_setup(screen.get());
    path_x = 30;
    swarm_draw(screen.get());
    EXPECT_EQ(rows(screen.get()),
              logos_at(39, 25, {{16, 10}, {16, 14}, {16, 17}, {16, 19}, {16, 19}}));
  }
  // 80 x 19: rows stay at 7, columns follow 2 * xpath + 37.
  {
    TestScreen screen(80, 19);
    swarm_setup(screen.get());
    path_x = 0;
    path_y = 20;
    swarm_draw(screen.get());
    EXPECT_EQ(rows(screen.get()),
              logos_at(80, 19, {{37, 7}, {53, 7}, {65, 7}, {73, 7}, {67, 7}}));
  }
}

TEST_F(Swarm, LogosTrailAlongBothTablesWithWrapAround) {
  // path (95, 55): logo k at xpath[(95 + 8k) mod 98], ypath[(55 + 4k) mod 58], that is
  // entries x 95, 5, 13, 21, 29 (-3, 5, 12, 17, 17) and y 55, 1, 5, 9, 13 (-3, 1, 5, 8, 9).
  TestScreen screen(80, 25);
  swarm_setup(screen.get());
  path_x = 95;
  path_y = 55;
  swarm_draw(screen.get());
  EXPECT_EQ(rows(screen.get()),
            logos_at(80, 25, {{31, 7}, {47, 11}, {61, 15}, {71, 18}, {71, 19}}));
  EXPECT_EQ(path_x, 95);
  EXPECT_EQ(path_y, 55);
}

TEST_F(Swarm, PathsComeBackAfterTheirLengths) {
  for (int i = 0; i < 98; ++i) swarm_advance();
  EXPECT_EQ(path_x, 0);
  EXPECT_EQ(path_y, 40);
  for (int frames = 99; frames <= 2842; ++frames) {
    swarm_advance();
    if (frames < 2842) {
      ASSERT_FALSE(path_x == 0 && path_y == 0) << "back at the start after " << frames;
    }
  }
  EXPECT_EQ(path_x, 0);
  EXPECT_EQ(path_y, 0);
}

TEST_F(Swarm, AdvanceStepsOneEntryAndWraps) {
  path_x = 96;
  path_y = 56;
  swarm_advance();
  EXPECT_EQ(path_x, 97);
  EXPECT_EQ(path_y, 57);
  swarm_advance();
  EXPECT_EQ(path_x, 0);
  EXPECT_EQ(path_y, 0);
}

TEST(SwarmTables, CountsAndDivisors) {
  EXPECT_EQ(xpath_table.offsets.size(), 98u);
  EXPECT_EQ(xpath_table.divisor, 40);
  EXPECT_EQ(ypath_table.offsets.size(), 58u);
  EXPECT_EQ(ypath_table.divisor, 20);
}

TEST(LogoArt, SilentProgramsLogoHasSlantedCorners) {
  EXPECT_EQ(std::string_view(logo_art), "/~~~~\\\n|QUOX|\n\\____/\n");
  EXPECT_EQ(std::string_view(logo_art).size(), 21u);
}

}  // namespace
