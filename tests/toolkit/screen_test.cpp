#include "toolkit/screen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// The bytes screen_print writes, captured through a memory stream.
std::string printed(Screen* screen) {
  char* data = nullptr;
  std::size_t size = 0;
  std::FILE* stream = open_memstream(&data, &size);
  if (stream == nullptr) return "<no memstream>";
  screen_print(screen, stream);
  std::fclose(stream);
  std::string out(data, size);
  std::free(data);
  return out;
}

Screen make_screen(int32_t width, int32_t height) {
  Screen screen{};
  screen_resize(&screen, width, height);
  return screen;
}

bool all_cells_are(const Screen& screen, int32_t value) {
  for (int32_t cell : screen.cells) {
    if (cell != value) return false;
  }
  return true;
}

TEST(ScreenCreate, IsAnEightyByTwentyFiveScreenOfSpaces) {
  Screen* screen = screen_create();
  EXPECT_EQ(screen->width, 80);
  EXPECT_EQ(screen->height, 25);
  ASSERT_EQ(screen->cells.size(), 80u * 25u);
  EXPECT_TRUE(all_cells_are(*screen, 32));
  EXPECT_EQ(screen->frame_count, 0);
  EXPECT_EQ(current_screen, screen);

  std::string expected = "\n";
  for (int row = 0; row < 25; ++row) {
    expected += std::string(79, ' ');
    if (row < 24) expected += '\n';
  }
  EXPECT_EQ(printed(screen), expected);
  delete screen;
  current_screen = nullptr;
}

TEST(ScreenCreate, TheLastCreatedIsCurrent) {
  Screen* first = screen_create();
  Screen* second = screen_create();
  EXPECT_NE(first, second);
  EXPECT_EQ(current_screen, second);
  delete first;
  delete second;
  current_screen = nullptr;
}

// A size to resize to, named for failure messages.
struct SizeCase {
  const char* name;
  int32_t width;
  int32_t height;
};

TEST(ScreenResize, GivesTheSizeInSpacesAndKeepsCountAndCurrent) {
  const SizeCase cases[] = {
      {"1x1", 1, 1}, {"3x2", 3, 2}, {"1x7", 1, 7}, {"7x1", 7, 1}, {"132x50", 132, 50},
  };
  Screen* screen = screen_create();
  screen->frame_count = 17;
  for (const SizeCase& c : cases) {
    screen_clear(screen, 'x');
    screen_resize(screen, c.width, c.height);
    EXPECT_EQ(screen->width, c.width) << "case " << c.name;
    EXPECT_EQ(screen->height, c.height) << "case " << c.name;
    EXPECT_EQ(screen->cells.size(), static_cast<std::size_t>(c.width) * c.height)
        << "case " << c.name;
    EXPECT_TRUE(all_cells_are(*screen, 32)) << "case " << c.name;
    EXPECT_EQ(screen->frame_count, 17) << "case " << c.name;
    EXPECT_EQ(current_screen, screen) << "case " << c.name;
  }
  delete screen;
  current_screen = nullptr;
}

// Sizes that cannot be held leave an empty Screen that every operation tolerates.
TEST(ScreenResize, UnusableSizesLeaveTheScreenEmpty) {
  const SizeCase cases[] = {
      {"zero width", 0, 5},
      {"zero height", 5, 0},
      {"negative width", -1, 3},
      {"negative height", 3, -1},
      {"both minimal", kMin, kMin},
      {"2^31 cells", 65536, 32768},
      {"just past 2^31-1", 46341, 46341},
      {"widest times two", kMax, 2},
      {"both maximal", kMax, kMax},
  };
  for (const SizeCase& c : cases) {
    Screen screen = make_screen(4, 3);
    screen.frame_count = 5;
    screen_resize(&screen, c.width, c.height);
    EXPECT_EQ(screen.width, 0) << "case " << c.name;
    EXPECT_EQ(screen.height, 0) << "case " << c.name;
    EXPECT_TRUE(screen.cells.empty()) << "case " << c.name;

    screen_put(&screen, 0, 0, 'a');
    screen_clear(&screen, 'b');
    EXPECT_TRUE(screen.cells.empty()) << "case " << c.name;
    EXPECT_EQ(printed(&screen), "\n") << "case " << c.name;
    EXPECT_EQ(screen_frame_size(&screen), 1u) << "case " << c.name;
    EXPECT_EQ(screen.frame_count, 6) << "case " << c.name;

    screen_resize(&screen, 2, 2);
    EXPECT_EQ(printed(&screen), "\n \n ") << "case " << c.name;
  }
}

TEST(ScreenClear, StoresAnyValueUnchanged) {
  for (int32_t value : {32, 0, -56, 321, kMin, kMax}) {
    Screen screen = make_screen(5, 4);
    screen_clear(&screen, value);
    EXPECT_EQ(screen.cells.size(), 20u) << "value " << value;
    EXPECT_TRUE(all_cells_are(screen, value)) << "value " << value;
  }
}

TEST(ScreenPut, WritesOnlyCellsOnTheScreen) {
  struct Case {
    const char* name;
    int32_t x;
    int32_t y;
    bool writes;
  };
  constexpr int32_t w = 4;
  constexpr int32_t h = 3;
  const Case cases[] = {
      {"origin", 0, 0, true},     {"last cell", w - 1, h - 1, true},
      {"inner", 2, 1, true},      {"x = -1", -1, 0, false},
      {"x = width", w, 0, false}, {"y = -1", 0, -1, false},
      {"y = height", 0, h, false}, {"both far", kMin, kMax, false},
      {"x max", kMax, 1, false},  {"y min", 1, kMin, false},
  };
  for (const Case& c : cases) {
    Screen screen = make_screen(w, h);
    screen_put(&screen, c.x, c.y, 12345);
    int changed = 0;
    for (int32_t cell : screen.cells) changed += cell != 32 ? 1 : 0;
    EXPECT_EQ(changed, c.writes ? 1 : 0) << "case " << c.name;
    if (c.writes) {
      EXPECT_EQ(screen.cells[static_cast<std::size_t>(c.y * w + c.x)], 12345)
          << "case " << c.name;
    }
  }
}

TEST(ScreenPrint, DropsTheLastColumnAndEndsWithoutNewline) {
  Screen screen = make_screen(3, 2);
  const char letters[] = "abcdef";
  for (int32_t i = 0; i < 6; ++i) screen_put(&screen, i % 3, i / 3, letters[i]);
  EXPECT_EQ(printed(&screen), std::string("\nab\nde"));
}

TEST(ScreenPrint, EdgeShapes) {
  struct Case {
    const char* name;
    int32_t width;
    int32_t height;
    std::string expected;
  };
  const Case cases[] = {
      {"1x1", 1, 1, "\n"},
      {"one column", 1, 4, "\n\n\n\n"},
      {"one row", 5, 1, "\n...."},
      {"2x3", 2, 3, "\n.\n.\n."},
  };
  for (const Case& c : cases) {
    Screen screen = make_screen(c.width, c.height);
    screen_clear(&screen, '.');
    EXPECT_EQ(printed(&screen), c.expected) << "case " << c.name;
  }
}

TEST(ScreenPrint, WritesTheLowOrderByteOfEachCell) {
  Screen screen = make_screen(6, 1);
  screen_put(&screen, 0, 0, 321);      // 0x141
  screen_put(&screen, 1, 0, -56);      // as the primitives store byte 200
  screen_put(&screen, 2, 0, 0x12345642);
  screen_put(&screen, 3, 0, -1);
  screen_put(&screen, 4, 0, 0);
  const std::string expected{'\n', 'A', static_cast<char>(200), 'B', static_cast<char>(255),
                             '\0'};
  EXPECT_EQ(printed(&screen), expected);
}

// Frames larger than any internal block must still come out whole and in order.
TEST(ScreenPrint, LargeFramesMatchTheirSize) {
  struct Case {
    const char* name;
    int32_t width;
    int32_t height;
  };
  const Case cases[] = {
      {"80x25", 80, 25},   {"4096x1", 4096, 1},   {"4097x1", 4097, 1},
      {"1x5000", 1, 5000}, {"200x60", 200, 60},   {"333x77", 333, 77},
  };
  for (const Case& c : cases) {
    Screen screen = make_screen(c.width, c.height);
    std::string expected = "\n";
    for (int32_t y = 0; y < c.height; ++y) {
      for (int32_t x = 0; x < c.width; ++x) {
        const int32_t value = 'a' + (x * 7 + y * 3) % 26;
        screen_put(&screen, x, y, value);
        if (x + 1 < c.width) expected += static_cast<char>(value);
      }
      if (y + 1 < c.height) expected += '\n';
    }
    const std::string out = printed(&screen);
    EXPECT_EQ(out.size(), screen_frame_size(&screen)) << "case " << c.name;
    EXPECT_EQ(out.size(), static_cast<std::size_t>(c.width) * c.height) << "case " << c.name;
    EXPECT_TRUE(out == expected) << "case " << c.name;
  }
}

TEST(ScreenPrint, FlushesTheStream) {
  Screen screen = make_screen(10, 3);
  char* data = nullptr;
  std::size_t size = 0;
  std::FILE* stream = open_memstream(&data, &size);
  ASSERT_NE(stream, nullptr);
  // A memory stream publishes its size only when flushed.
  screen_print(&screen, stream);
  EXPECT_EQ(size, 30u);
  screen_print(&screen, stream);
  EXPECT_EQ(size, 60u);
  std::fclose(stream);
  std::free(data);
}

TEST(ScreenPrint, WorksOnAFixedMemoryStream) {
  Screen screen = make_screen(3, 2);
  screen_clear(&screen, 'z');
  char buffer[16] = {};
  std::FILE* stream = fmemopen(buffer, sizeof buffer, "w");
  ASSERT_NE(stream, nullptr);
  screen_print(&screen, stream);
  EXPECT_STREQ(buffer, "\nzz\nzz");
  std::fclose(stream);
}

TEST(ScreenPrint, CountsFramesAcrossResizes) {
  Screen screen = make_screen(3, 2);
  EXPECT_EQ(screen.frame_count, 0);
  printed(&screen);
  EXPECT_EQ(screen.frame_count, 1);
  screen_resize(&screen, 5, 5);
  EXPECT_EQ(screen.frame_count, 1);
  printed(&screen);
  printed(&screen);
  EXPECT_EQ(screen.frame_count, 3);
}

// After 2^31 - 1 frames the count goes on at 2^31 mod 6, keeping n mod 2 and n mod 3.
TEST(ScreenPrint, FrameCountWrapsKeepingItsRhythm) {
  Screen screen = make_screen(2, 1);
  screen.frame_count = kMax - 1;
  printed(&screen);
  EXPECT_EQ(screen.frame_count, kMax);
  printed(&screen);
  EXPECT_EQ(screen.frame_count, 2);
  const int64_t true_count = int64_t{kMax} + 1;
  EXPECT_EQ(screen.frame_count % 2, true_count % 2);
  EXPECT_EQ(screen.frame_count % 3, true_count % 3);
  printed(&screen);
  EXPECT_EQ(screen.frame_count, 3);
}

TEST(ScreenFrameSize, IsWidthTimesHeight) {
  struct Case {
    int32_t width;
    int32_t height;
    std::size_t bytes;
  };
  const Case cases[] = {{1, 1, 1}, {3, 2, 6}, {1, 9, 9}, {9, 1, 9}, {80, 25, 2000}};
  for (const Case& c : cases) {
    Screen screen = make_screen(c.width, c.height);
    EXPECT_EQ(screen_frame_size(&screen), c.bytes) << "case " << c.width << "x" << c.height;
    EXPECT_EQ(printed(&screen).size(), c.bytes) << "case " << c.width << "x" << c.height;
  }
}

}  // namespace
