#include "toolkit/cursor.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

int32_t read_int(const std::byte* at) {
  int32_t value = 0;
  std::memcpy(&value, at, sizeof value);
  return value;
}

TEST(CursorCreate, DefaultsYieldAZeroInteger) {
  TableCursor* cursor = cursor_create();
  EXPECT_EQ(cursor->elem_size, 4);
  EXPECT_EQ(cursor->count, 1);
  EXPECT_EQ(cursor->pos, 0);
  EXPECT_EQ(cursor->step, 1);
  ASSERT_NE(cursor->table, nullptr);
  EXPECT_EQ(cursor_current(cursor), cursor->table);
  // Room for two 4-byte elements, all zero.
  for (int i = 0; i < 8; ++i) EXPECT_EQ(cursor->table[i], std::byte{0}) << "byte " << i;
  EXPECT_EQ(read_int(cursor_current(cursor)), 0);
  cursor_step(cursor);
  EXPECT_EQ(cursor->pos, 0);
  EXPECT_EQ(read_int(cursor_current(cursor)), 0);
  cursor_free(cursor);
}

TEST(CursorStep, WalksAFiveElementTable) {
  struct Case {
    const char* name;
    int32_t step;
    std::vector<int32_t> positions;  // after each step, from pos 0
  };
  const Case cases[] = {
      {"forward", 1, {1, 2, 3, 4, 0, 1, 2}},
      {"backward", -1, {4, 3, 2, 1, 0, 4}},
      {"by two", 2, {2, 4, 1, 3, 0}},
      {"standing", 0, {0, 0, 0}},
      {"by count", 5, {0, 0}},
      {"larger than count", 13, {3, 1, 4, 2, 0}},
      {"larger backwards", -13, {2, 4, 1, 3, 0}},
  };
  const std::array<int32_t, 5> table{10, 11, 12, 13, 14};
  for (const Case& c : cases) {
    TableCursor* cursor = cursor_create();
    cursor_init(cursor, table.data(), 4, 5, c.step);
    for (std::size_t i = 0; i < c.positions.size(); ++i) {
      cursor_step(cursor);
      EXPECT_EQ(cursor->pos, c.positions[i]) << "case " << c.name << " step " << i;
      EXPECT_EQ(read_int(cursor_current(cursor)), 10 + c.positions[i])
          << "case " << c.name << " step " << i;
    }
    cursor_free(cursor);
  }
}

// The expected position: a true modulo of pos + step, in 64 bits.
int32_t wrapped(int32_t pos, int32_t step, int32_t count) {
  const int64_t m = (int64_t{pos} + step) % count;
  return static_cast<int32_t>(m < 0 ? m + count : m);
}

TEST(CursorStep, WrapsAnyStepAndAnyStartWithoutOverflow) {
  struct Case {
    const char* name;
    int32_t count;
    int32_t pos;
    int32_t step;
    int32_t expected;  // worked out by hand
  };
  const Case cases[] = {
      {"count 3, pos 2, step 7", 3, 2, 7, 0},
      {"count 3, pos 0, step -4", 3, 0, -4, 2},
      {"count 1 any step", 1, 0, 12345, 0},
      // 2^31 - 1 = 7 * 306783378 + 1
      {"step max", 7, 0, kMax, 1},
      {"step max from the end", 7, 6, kMax, 0},
      // -2^31 = -7 * 306783379 + 5
      {"step min", 7, 0, kMin, 5},
      {"step min from the end", 7, 6, kMin, 4},
      // -2000000000 + 7 = -7 * 285714285 + 2
      {"user pos far below", 7, -2000000000, 7, 2},
      // 2000000000 + 1 = 7 * 285714285 + 6
      {"user pos far above", 7, 2000000000, 1, 6},
      {"user pos max, step max", 7, kMax, kMax, 2},
      {"user pos min, step min", 7, kMin, kMin, 3},
      {"count max, pos at the end, step max", kMax, kMax - 1, kMax, kMax - 1},
      {"count max, step min", kMax, 0, kMin, kMax - 1},
      {"count max, pos just past", kMax, kMax, 0, 0},
      {"user pos one below", 5, -1, 0, 4},
      {"user pos one above", 5, 5, 0, 0},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(wrapped(c.pos, c.step, c.count), c.expected) << "hand value of case " << c.name;
    TableCursor* cursor = cursor_create();
    cursor->count = c.count;
    cursor->pos = c.pos;
    cursor->step = c.step;
    cursor_step(cursor);
    EXPECT_EQ(cursor->pos, c.expected) << "case " << c.name;
    cursor_free(cursor);
  }
}

// A longer run of steps keeps agreeing with the modulo, for counts and steps of all signs.
TEST(CursorStep, AgreesWithTheModuloOverManySteps) {
  const int32_t counts[] = {1, 2, 3, 7, 1000, kMax - 1, kMax};
  const int32_t steps[] = {0, 1, -1, 3, -5, 1000, -999999, kMax, kMin, kMax - 1, kMin + 1};
  for (int32_t count : counts) {
    for (int32_t step : steps) {
      TableCursor* cursor = cursor_create();
      cursor->count = count;
      cursor->step = step;
      int32_t expected = 0;
      for (int i = 0; i < 20; ++i) {
        expected = wrapped(expected, step, count);
        cursor_step(cursor);
        ASSERT_EQ(cursor->pos, expected) << "case count " << count << " step " << step
                                         << " after " << i + 1 << " steps";
      }
      cursor_free(cursor);
    }
  }
}

TEST(CursorStep, CountBelowOneLeavesPosAlone) {
  for (int32_t count : {0, -1, kMin}) {
    TableCursor* cursor = cursor_create();
    cursor->count = count;
    cursor->pos = 3;
    cursor->step = 2;
    cursor_step(cursor);
    EXPECT_EQ(cursor->pos, 3) << "case count " << count;
    cursor_free(cursor);
  }
}

TEST(CursorCurrent, TextCursorCyclesOverItsLetters) {
  const char text[] = "ab";
  TableCursor* cursor = cursor_create();
  cursor_init(cursor, text, 1, 2, 1);
  std::string seen;
  for (int i = 0; i < 3; ++i) {
    seen += static_cast<char>(*cursor_current(cursor));
    cursor_step(cursor);
  }
  EXPECT_EQ(seen, "aba");
  cursor_free(cursor);
}

TEST(CursorCurrent, IntegerCursorPointsPosTimesFourBytesOn) {
  const std::array<int32_t, 6> table{5, -6, 7, -8, 9, kMin};
  TableCursor* cursor = cursor_create();
  cursor_init(cursor, table.data(), 4, 6, 3);
  cursor_step(cursor);
  ASSERT_EQ(cursor->pos, 3);
  EXPECT_EQ(cursor_current(cursor), reinterpret_cast<const std::byte*>(table.data()) + 12);
  EXPECT_EQ(read_int(cursor_current(cursor)), -8);
  cursor->pos = 5;
  EXPECT_EQ(read_int(cursor_current(cursor)), kMin);
  cursor_free(cursor);
}

TEST(CursorInit, RestartsAtElementZero) {
  const std::array<int32_t, 6> first{1, 2, 3, 4, 5, 6};
  const char second[] = "xyz";
  TableCursor* cursor = cursor_create();
  cursor_init(cursor, first.data(), 4, 6, 1);
  for (int i = 0; i < 4; ++i) cursor_step(cursor);
  ASSERT_EQ(cursor->pos, 4);

  cursor_init(cursor, first.data(), 4, 6, 2);
  EXPECT_EQ(cursor->pos, 0);
  EXPECT_EQ(cursor->step, 2);
  EXPECT_EQ(read_int(cursor_current(cursor)), 1);

  cursor->pos = 5;
  cursor_init(cursor, second, 1, 3, -1);
  EXPECT_EQ(cursor->pos, 0);
  EXPECT_EQ(cursor->elem_size, 1);
  EXPECT_EQ(cursor->count, 3);
  EXPECT_EQ(cursor->table, reinterpret_cast<const std::byte*>(second));
  cursor_step(cursor);
  EXPECT_EQ(static_cast<char>(*cursor_current(cursor)), 'z');
  cursor_free(cursor);
}

// A cursor owns no table: freeing it leaves a heap table usable (the sanitizer build
// would report a release of it), and unbound cursors share the read-only zeros.
TEST(CursorFree, ReleasesOnlyTheRecord) {
  std::vector<int32_t> table{4, 5, 6};
  TableCursor* a = cursor_create();
  TableCursor* b = cursor_create();
  EXPECT_EQ(a->table, b->table);
  const std::byte* zeros = a->table;
  cursor_init(a, table.data(), 4, 3, 1);
  cursor_free(a);
  table.push_back(7);
  EXPECT_EQ(table[0], 4);
  EXPECT_EQ(b->table, zeros);
  EXPECT_EQ(read_int(cursor_current(b)), 0);
  cursor_free(b);
}

}  // namespace
