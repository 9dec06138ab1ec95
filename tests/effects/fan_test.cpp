#include "effects/fan.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <limits>
#include <memory>

#include "tests/support/test_screen.h"

namespace {

constexpr int32_t int_max = std::numeric_limits<int32_t>::max();
constexpr int32_t int_min = std::numeric_limits<int32_t>::min();

struct FanDeleter {
  void operator()(LineFan* fan) const { fan_free(fan); }
};
using FanHolder = std::unique_ptr<LineFan, FanDeleter>;

FanHolder make_fan() { return FanHolder{fan_create()}; }

// The first line's ends {x1, y1, x2, y2} and how far each moves per line {sx1, sy1, sx2, sy2}.
void place(LineFan* fan, std::array<int32_t, 4> ends, std::array<int32_t, 4> steps) {
  fan->x1 = ends[0];
  fan->y1 = ends[1];
  fan->x2 = ends[2];
  fan->y2 = ends[3];
  fan->sx1 = steps[0];
  fan->sy1 = steps[1];
  fan->sx2 = steps[2];
  fan->sy2 = steps[3];
}

TEST(FanBounce, MovesClampsAndTurnsAtTheEdges) {
  struct Case {
    int32_t c, d, size;
    int32_t want_c, want_d;
    bool want_turned;
  };
  const Case cases[] = {
      {3, 2, 10, 5, 2, false},
      {8, 1, 10, 9, 1, false},
      {9, 1, 10, 9, -1, true},
      {9, 8, 10, 9, -8, true},
      {0, -1, 10, 0, 1, true},
      {2, -5, 10, 0, 5, true},
      {0, 7, 1, 0, -7, true},
      // The sum leaves 32 bits; the result does not.
      {int_max - 1, int_max, int_max, int_max - 1, -int_max, true},
      {int_max - 3, 2, int_max, int_max - 1, 2, false},
      {5, int_min, 10, 0, int_max, true},
      // An empty Screen (a failed resize) has no edge to clamp to: the point stays at 0.
      {0, 1, 0, 0, -1, true},
      {0, -1, 0, 0, 1, true},
  };
  for (const Case& k : cases) {
    int32_t c = k.c;
    int32_t d = k.d;
    const bool turned = fan_bounce(c, d, k.size);
    EXPECT_EQ(c, k.want_c) << "c=" << k.c << " d=" << k.d << " size=" << k.size;
    EXPECT_EQ(d, k.want_d) << "c=" << k.c << " d=" << k.d << " size=" << k.size;
    EXPECT_EQ(turned, k.want_turned) << "c=" << k.c << " d=" << k.d << " size=" << k.size;
  }
}

TEST(FanCreate, LinesAreAQuarterOfTheHeight) {
  const std::array<std::array<int32_t, 2>, 9> cases{{
      {1, 0}, {2, 0}, {3, 0}, {4, 1}, {7, 1}, {8, 2}, {24, 6}, {25, 6}, {50, 12}}};
  for (const auto& [height, lines] : cases) {
    TestScreen screen(10, height);
    FanHolder fan = make_fan();
    EXPECT_EQ(fan->lines, lines) << "height=" << height;
  }
}

TEST(FanCreate, TakesTwelveRandDrawsInFieldOrder) {
  struct Case {
    unsigned seed;
    int32_t width, height;
  };
  for (const Case& k : {Case{1, 80, 25}, Case{7, 13, 7}, Case{12345, 132, 50}}) {
    TestScreen screen(k.width, k.height);
    std::srand(k.seed);
    std::array<int, 12> r{};
    for (int& v : r) v = std::rand();

    std::srand(k.seed);
    FanHolder fan = make_fan();
    const std::array<int32_t, 12> got{fan->x1,  fan->y1,  fan->x2,  fan->y2,
                                      fan->vx1, fan->vy1, fan->vx2, fan->vy2,
                                      fan->sx1, fan->sy1, fan->sx2, fan->sy2};
    const std::array<int32_t, 12> want{
        r[0] % k.width,  r[1] % k.height, r[2] % k.width,  r[3] % k.height,
        (r[4] & 1) + 1,  (r[5] & 1) + 1,  (r[6] & 1) + 1,  (r[7] & 1) + 1,
        (r[8] & 7) + 1,  (r[9] & 7) + 1,  (r[10] & 7) + 1, (r[11] & 7) + 1};
    EXPECT_EQ(got, want) << "seed=" << k.seed;
    // The thirteenth value is the next one after the twelve.
    const int after_fan = std::rand();
    std::srand(k.seed);
    for (int i = 0; i < 12; ++i) std::rand();
    EXPECT_EQ(after_fan, std::rand()) << "seed=" << k.seed;
  }
}

TEST(FanCreate, FreshFanMovesForwardAndDrawsWithX) {
  TestScreen screen(80, 25);
  for (unsigned seed : {1u, 2u, 3u, 99u, 4242u}) {
    std::srand(seed);
    FanHolder fan = make_fan();
    EXPECT_EQ(fan->screen, screen.get()) << "seed=" << seed;
    EXPECT_EQ(fan->width, 80) << "seed=" << seed;
    EXPECT_EQ(fan->height, 25) << "seed=" << seed;
    EXPECT_EQ(fan->ch, 'x') << "seed=" << seed;
    for (int32_t v : {fan->vx1, fan->vy1, fan->vx2, fan->vy2}) {
      EXPECT_TRUE(v == 1 || v == 2) << "seed=" << seed << " v=" << v;
    }
    for (int32_t s : {fan->sx1, fan->sy1, fan->sx2, fan->sy2}) {
      EXPECT_TRUE(s >= 1 && s <= 8) << "seed=" << seed << " s=" << s;
    }
    for (int32_t x : {fan->x1, fan->x2}) EXPECT_TRUE(x >= 0 && x < 80) << "seed=" << seed;
    for (int32_t y : {fan->y1, fan->y2}) EXPECT_TRUE(y >= 0 && y < 25) << "seed=" << seed;
    for (int32_t zero : {fan->x, fan->y, fan->z, fan->depth, fan->z1, fan->z2, fan->vz1,
                         fan->vz2, fan->sz1, fan->sz2}) {
      EXPECT_EQ(zero, 0) << "seed=" << seed;
    }
  }
}

TEST(FanDraw, LowScreenDrawsNothingButUpdateStillMoves) {
  TestScreen screen(10, 3);
  FanHolder fan = make_fan();
  ASSERT_EQ(fan->lines, 0);
  fan->x1 = 2;
  fan->y1 = 0;
  fan->x2 = 7;
  fan->y2 = 2;
  fan->vx1 = 1;
  fan->vy1 = 1;
  fan->vx2 = -2;
  fan->vy2 = -1;
  fan_draw(fan.get());
  EXPECT_EQ(rows(screen.get()), blank_rows(10, 3));
  fan_update(fan.get());
  EXPECT_EQ(fan->x1, 3);
  EXPECT_EQ(fan->y1, 1);
  EXPECT_EQ(fan->x2, 5);
  EXPECT_EQ(fan->y2, 1);
}

TEST(FanDraw, OneColumnScreenKeepsEveryLineInColumnZero) {
  TestScreen screen(1, 8);
  for (unsigned seed : {1u, 5u, 77u}) {
    std::srand(seed);
    FanHolder fan = make_fan();
    EXPECT_EQ(fan->x1, 0) << "seed=" << seed;
    EXPECT_EQ(fan->x2, 0) << "seed=" << seed;
  }
  FanHolder fan = make_fan();
  ASSERT_EQ(fan->lines, 2);
  // Line 0 covers row 0; every column step bounces back to 0, so line 1 is the
  // vertical run from row 4 towards row 3.
  place(fan.get(), {0, 0, 0, 1}, {3, 4, 5, 2});
  fan_draw(fan.get());
  EXPECT_EQ(rows(screen.get()), (std::vector<std::string>{
                                    "x",
                                    " ",
                                    " ",
                                    " ",
                                    "x",
                                    " ",
                                    " ",
                                    " ",
                                }));
}

TEST(FanDraw, StepWiderThanTheScreenJumpsFromEdgeToEdge) {
  TestScreen screen(5, 4);
  FanHolder fan = make_fan();
  fan->lines = 4;
  place(fan.get(), {0, 0, 2, 0}, {8, 1, 0, 1});
  // Starts at columns 0, 4, 0, 4; each line ends before column 2.
  fan_draw(fan.get());
  EXPECT_EQ(rows(screen.get()), (std::vector<std::string>{
                                    "xx   ",
                                    "   xx",
                                    "xx   ",
                                    "   xx",
                                }));
  EXPECT_EQ(fan->x1, 0);
  EXPECT_EQ(fan->sx1, 8);
}

TEST(FanDraw, BouncesAtTheEdgesOfEveryAxis) {
  TestScreen screen(8, 8);
  FanHolder fan = make_fan();
  fan->lines = 2;
  fan->ch = '#';
  // Line 0 from (6, 6) to (1, 6); then x1 hits column 7, y1 row 7, x2 column 0
  // and y2 row 7: line 1 runs from (7, 7) to (0, 7).
  place(fan.get(), {6, 6, 1, 6}, {3, 5, -4, 2});
  fan_draw(fan.get());
  EXPECT_EQ(rows(screen.get()), (std::vector<std::string>{
                                    "        ",
                                    "        ",
                                    "        ",
                                    "        ",
                                    "        ",
                                    "        ",
                                    "  ##### ",
                                    " #######",
                                }));
}

TEST(FanDraw, TwiceWithoutUpdateDrawsTheSame) {
  TestScreen screen(40, 20);
  std::srand(3);
  FanHolder fan = make_fan();
  fan_draw(fan.get());
  const std::vector<std::string> first = rows(screen.get());
  EXPECT_NE(first, blank_rows(40, 20));
  const LineFan before = *fan;
  fan_draw(fan.get());
  EXPECT_EQ(rows(screen.get()), first);
  EXPECT_EQ(fan->x1, before.x1);
  EXPECT_EQ(fan->y1, before.y1);
  EXPECT_EQ(fan->x2, before.x2);
  EXPECT_EQ(fan->y2, before.y2);
  EXPECT_EQ(fan->sx1, before.sx1);
  EXPECT_EQ(fan->sy2, before.sy2);
}

TEST(FanUpdate, EndpointAtAnEdgeStaysAndTurnsWithItsStep) {
  // Which endpoint coordinate, where it starts, its velocity; the other three stand
  // in the middle and move by +1 without touching an edge.
  struct Case {
    const char* name;
    int32_t LineFan::*pos;
    int32_t LineFan::*vel;
    int32_t LineFan::*step;
    int32_t start, velocity, want_pos;
    bool turns;
    int32_t want_next;
  };
  const Case cases[] = {
      {"x1 at W-1 moving right", &LineFan::x1, &LineFan::vx1, &LineFan::sx1, 9, 1, 9, true, 8},
      {"y1 at row 0 moving up", &LineFan::y1, &LineFan::vy1, &LineFan::sy1, 0, -1, 0, true, 1},
      {"x2 at 1 moving left by 2", &LineFan::x2, &LineFan::vx2, &LineFan::sx2, 1, -2, 0, true,
       2},
      {"y2 at H-1 moving down by 2", &LineFan::y2, &LineFan::vy2, &LineFan::sy2, 5, 2, 5, true,
       3},
      {"x1 inside", &LineFan::x1, &LineFan::vx1, &LineFan::sx1, 4, 2, 6, false, 8},
  };
  TestScreen screen(10, 6);
  for (const Case& k : cases) {
    FanHolder fan = make_fan();
    fan->x1 = fan->x2 = 4;
    fan->y1 = fan->y2 = 2;
    fan->vx1 = fan->vy1 = fan->vx2 = fan->vy2 = 1;
    fan->sx1 = fan->sy1 = fan->sx2 = fan->sy2 = 3;
    (*fan).*k.pos = k.start;
    (*fan).*k.vel = k.velocity;
    fan_update(fan.get());
    EXPECT_EQ((*fan).*k.pos, k.want_pos) << k.name;
    EXPECT_EQ((*fan).*k.vel, k.turns ? -k.velocity : k.velocity) << k.name;
    EXPECT_EQ((*fan).*k.step, k.turns ? -3 : 3) << k.name;
    // The other coordinates moved on by one.
    int moved = 0;
    for (int32_t LineFan::*p : {&LineFan::x1, &LineFan::x2}) {
      if (p != k.pos) moved += (*fan).*p == 5;
    }
    for (int32_t LineFan::*p : {&LineFan::y1, &LineFan::y2}) {
      if (p != k.pos) moved += (*fan).*p == 3;
    }
    EXPECT_EQ(moved, 3) << k.name;
    fan_update(fan.get());
    EXPECT_EQ((*fan).*k.pos, k.want_next) << k.name;
  }
}

TEST(FanUpdate, UsesTheScreensSizeAtTheCall) {
  TestScreen screen(80, 25);
  FanHolder fan = make_fan();
  screen_resize(screen.get(), 10, 10);
  fan->x1 = 9;
  fan->vx1 = 1;
  fan->sx1 = 4;
  fan_update(fan.get());
  EXPECT_EQ(fan->x1, 9);
  EXPECT_EQ(fan->vx1, -1);
  EXPECT_EQ(fan->sx1, -4);
}

TEST(FanUpdate, LargestScreenSizesDoNotOverflow) {
  // Only the sizes matter to fan_update; no cell is touched.
  Screen huge{};
  huge.width = int_max;
  huge.height = int_max;
  LineFan fan{};
  fan.screen = &huge;
  fan.x1 = int_max - 1;
  fan.vx1 = int_max;
  fan.sx1 = 8;
  fan.y1 = 3;
  fan.vy1 = int_min;
  fan.sy1 = int_min;
  fan.x2 = int_max - 3;
  fan.vx2 = 2;
  fan.sx2 = 5;
  fan.y2 = int_max - 1;
  fan.vy2 = -(int_max - 1);
  fan.sy2 = 1;
  fan_update(&fan);
  EXPECT_EQ(fan.x1, int_max - 1);
  EXPECT_EQ(fan.vx1, -int_max);
  EXPECT_EQ(fan.sx1, -8);
  EXPECT_EQ(fan.y1, 0);
  EXPECT_EQ(fan.vy1, int_max);
  EXPECT_EQ(fan.sy1, int_max);
  EXPECT_EQ(fan.x2, int_max - 1);
  EXPECT_EQ(fan.vx2, 2);
  EXPECT_EQ(fan.sx2, 5);
  EXPECT_EQ(fan.y2, 0);
  EXPECT_EQ(fan.vy2, -(int_max - 1));
  EXPECT_EQ(fan.sy2, 1);
}

}  // namespace
