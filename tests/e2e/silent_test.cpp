// intro_silent run as a user would: answers on standard input, the dialogue and the
// frames read back from standard output, ended by SIGINT.
#include <gtest/gtest.h>
#include <signal.h>

#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "harness.h"
#include "tests/support/dialogue_texts.h"

namespace {

using e2e::Launch;
using e2e::milliseconds;
using e2e::Outcome;
using e2e::Stop;
using e2e::Wiring;

const std::string program = INTRO_SILENT_PATH;

using namespace dialogue_texts;

// Above 1000000 fps the frame period is 0: frames follow one another without a pause.
const std::string no_pause = "5\n2000000\n";

std::string repeat(const std::string& text, int times) {
  std::string result;
  for (int i = 0; i < times; ++i) result += text;
  return result;
}

Outcome run_silent(const std::string& input, const Stop& stop,
                   std::vector<std::string> environment = {}, Wiring wiring = Wiring::pipes) {
  Launch launch;
  launch.program = program;
  launch.input = input;
  launch.environment = std::move(environment);
  launch.wiring = wiring;
  return e2e::run(launch, stop);
}

Stop until_bytes(std::size_t bytes) {
  Stop stop;
  stop.output_bytes = bytes;
  return stop;
}

// Empty when `frames` is whole frames of a width x height Screen, the last possibly cut
// short; otherwise where it goes wrong. A frame is a newline, then height lines of
// width - 1 printable characters separated by newlines, with no final newline: its
// newlines stand exactly at the offsets that are multiples of width.
std::string frame_fault(std::string_view frames, std::size_t width, std::size_t height) {
  const std::size_t size = width * height;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const std::size_t offset = i % size;
    const unsigned char byte = static_cast<unsigned char>(frames[i]);
    const bool newline_here = offset % width == 0;
    if (newline_here ? byte != '\n' : (byte < 32 || byte > 126)) {
      return "frame " + std::to_string(i / size) + ", offset " + std::to_string(offset) +
             ": byte " + std::to_string(byte) + (newline_here ? ", a newline expected" : "");
    }
  }
  return {};
}

// Frame `index` (from 0) of the output after the dialogue's text.
std::string_view frame(const Outcome& outcome, std::size_t dialogue, std::size_t size,
                       std::size_t index) {
  return std::string_view(outcome.out).substr(dialogue + index * size, size);
}

struct DialogueCase {
  const char* name;
  std::string input;
  std::string text;  // everything the dialogue writes
  std::size_t width, height;
};

std::vector<DialogueCase> dialogue_cases() {
  const std::string start = banner + screen_menu;
  const std::string fast_end = rate_menu + rate_prompt;
  return {
      {"preset 1", "1\n" + no_pause, start + fast_end, 80, 25},
      {"preset 2", "2\n" + no_pause, start + fast_end, 80, 50},
      {"preset 3", "3\n" + no_pause, start + fast_end, 80, 24},
      {"preset 4", "4\n" + no_pause, start + fast_end, 40, 24},
      {"second character dropped", "12\n" + no_pause, start + fast_end, 80, 25},
      {"rejected answers repeat the whole menu, banner once", "0\n6\na\n 1\n\n1\n" + no_pause,
       banner + repeat(screen_menu, 6) + fast_end, 80, 25},
      {"5x opens the custom size", "5x\n30\n9\n" + no_pause,
       start + width_prompt + height_prompt + fast_end, 30, 9},
      {"80x25 gives the width only, the height comes from the next line",
       "5\n80x25\n30\n" + no_pause, start + width_prompt + height_prompt + fast_end, 80, 30},
      {"rejected widths", "5\n0\n-80\n 80\nx\n\n007\n3\n" + no_pause,
       start + repeat(width_prompt + wrong_width, 5) + width_prompt + height_prompt + fast_end, 7,
       3},
      {"rejected height asks the height only", "5\n10\n0\n4\n" + no_pause,
       start + width_prompt + height_prompt + wrong_height + height_prompt + fast_end, 10, 4},
      {"carriage returns before the newlines", "5\r\n30\r\n6\r\n5\r\n2000000\r\n",
       start + width_prompt + height_prompt + fast_end, 30, 6},
      {"rejected rates", "1\n9\n\n5\n0\n2000000\n",
       start + repeat(rate_menu, 3) + rate_prompt + wrong_fps + rate_prompt, 80, 25},
      {"last answer without a newline", "1\n5\n2000000", start + fast_end, 80, 25},
      {"1 x 1 prints newlines only", "5\n1\n1\n" + no_pause,
       start + width_prompt + height_prompt + fast_end, 1, 1},
      {"one column", "5\n1\n5\n" + no_pause, start + width_prompt + height_prompt + fast_end, 1, 5},
      {"one row", "5\n7\n1\n" + no_pause, start + width_prompt + height_prompt + fast_end, 7, 1},
      {"wide and low", "5\n300\n2\n" + no_pause, start + width_prompt + height_prompt + fast_end,
       300, 2},
  };
}

TEST(SilentDialogue, WritesItsTextsThenWholeFrames) {
  const std::vector<DialogueCase> cases = dialogue_cases();
  for (const DialogueCase& c : cases) {
    constexpr std::size_t frames = 4;
    const std::size_t size = c.width * c.height;
    const Outcome outcome = run_silent(c.input, until_bytes(c.text.size() + frames * size));
    SCOPED_TRACE(std::string("case: ") + c.name + "; " + e2e::describe(outcome));
    ASSERT_GE(outcome.out.size(), c.text.size());
    EXPECT_EQ(outcome.out.substr(0, c.text.size()), c.text);
    EXPECT_GE(outcome.out.size() - c.text.size(), frames * size);
    EXPECT_EQ(frame_fault(std::string_view(outcome.out).substr(c.text.size()), c.width, c.height),
              "");
    EXPECT_EQ(outcome.signal, SIGINT);
    EXPECT_FALSE(outcome.reached_deadline);
    EXPECT_EQ(outcome.err, "");
  }
}

TEST(SilentDialogue, OneByOneFramesAreNewlinesOnly) {
  const std::string text =
      banner + screen_menu + width_prompt + height_prompt + rate_menu + rate_prompt;
  const Outcome outcome = run_silent("5\n1\n1\n" + no_pause, until_bytes(text.size() + 50));
  SCOPED_TRACE(e2e::describe(outcome));
  ASSERT_GE(outcome.out.size(), text.size() + 50);
  EXPECT_EQ(outcome.out.substr(text.size()), std::string(outcome.out.size() - text.size(), '\n'));
}

// The presets pause between frames; two frames still come within the deadline.
TEST(SilentDialogue, PresetRatesRunFrames) {
  const std::vector<std::string> answers = {"1\n1\n", "1\n2\n", "1\n3\n", "1\n4\n", "1\n1"};
  for (const std::string& input : answers) {
    const std::string text = banner + screen_menu + rate_menu;
    const Outcome outcome = run_silent(input, until_bytes(text.size() + 2 * 80 * 25));
    SCOPED_TRACE("input: \"" + input + "\"; " + e2e::describe(outcome));
    EXPECT_EQ(outcome.out.substr(0, text.size()), text);
    EXPECT_GE(outcome.out.size(), text.size() + 2 * 80 * 25);
    EXPECT_EQ(frame_fault(std::string_view(outcome.out).substr(text.size()), 80, 25), "");
    EXPECT_EQ(outcome.signal, SIGINT);
  }
}

struct EndCase {
  std::string input;
  std::string text;
};

TEST(SilentDialogue, EndOfInputEndsItWithStatusOne) {
  const std::string start = banner + screen_menu;
  const std::vector<EndCase> cases = {
      {"", start},
      {"9\n", start + screen_menu},
      {"5\n", start + width_prompt},
      {"5\n0\n", start + width_prompt + wrong_width + width_prompt},
      {"5\n80\n", start + width_prompt + height_prompt},
      {"5\n80\n0\n", start + width_prompt + height_prompt + wrong_height + height_prompt},
      {"1\n", start + rate_menu},
      {"1\n7\n", start + rate_menu + rate_menu},
      {"1\n5\n", start + rate_menu + rate_prompt},
      {"1\n5\n0\n", start + rate_menu + rate_prompt + wrong_fps + rate_prompt},
  };
  for (const EndCase& c : cases) {
    Stop stop;  // until the program closes its output
    const Outcome outcome = run_silent(c.input, stop);
    SCOPED_TRACE("input: \"" + c.input + "\"; " + e2e::describe(outcome));
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.exit_code, 1);
    EXPECT_FALSE(outcome.interrupted);
    EXPECT_EQ(outcome.out, c.text);
    EXPECT_EQ(outcome.err, "intro_silent: standard input ended before the dialogue was answered\n");
  }
}

TEST(SilentDialogue, ReadErrorEndsItWithStatusOne) {
  Launch launch;
  launch.program = program;
  launch.input_path = "/";  // reading a directory fails with EISDIR
  const Outcome outcome = e2e::run(launch, Stop{});
  SCOPED_TRACE(e2e::describe(outcome));
  EXPECT_TRUE(outcome.exited);
  EXPECT_EQ(outcome.exit_code, 1);
  EXPECT_EQ(outcome.out, banner + screen_menu);
  EXPECT_EQ(outcome.err, "intro_silent: cannot read standard input: Is a directory\n");
}

struct SizeCase {
  std::string width, height;
};

TEST(SilentSize, MoreThanTheLargestCellCountIsRefused) {
  const std::vector<SizeCase> cases = {
      {"65536", "65536"}, {"46341", "46341"}, {"2147483647", "2"}, {"2", "1073741824"}};
  for (const SizeCase& c : cases) {
    const std::string text = banner + screen_menu + width_prompt + height_prompt + rate_menu;
    const Outcome outcome = run_silent("5\n" + c.width + "\n" + c.height + "\n1\n", Stop{});
    SCOPED_TRACE(c.width + " x " + c.height + ": " + e2e::describe(outcome));
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.exit_code, 1);
    EXPECT_EQ(outcome.out, text);
    EXPECT_EQ(outcome.err, "intro_silent: a " + c.width + " x " + c.height +
                               " screen is too large: more than 2147483647 cells\n");
  }
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

struct MemoryCase {
  std::string width, height;
  const char* limit_kib;  // address space for the whole process
  std::string what;
};

// The address-space limit makes the allocations fail before any frame is printed.
TEST(SilentSize, MemoryThatCannotBeHadIsRefused) {
  if (sanitized) GTEST_SKIP() << "the sanitizer's shadow memory needs more than any such limit";
  const std::vector<MemoryCase> cases = {
      // 6.4 GB of cells in 1 GiB.
      {"40000", "40000", "1048576", "the cells"},
      // 400 MB of cells fit in 460 MiB; the 100 MB frame buffer then does not.
      {"10000", "10000", "471040", "the output buffer"},
  };
  for (const MemoryCase& c : cases) {
    Launch launch;
    launch.program = "/bin/sh";
    launch.arguments = {"-c", std::string("ulimit -v ") + c.limit_kib + " && exec \"$0\"", program};
    launch.input = "5\n" + c.width + "\n" + c.height + "\n1\n";
    const Outcome outcome = e2e::run(launch, Stop{});
    SCOPED_TRACE(c.width + " x " + c.height + ": " + e2e::describe(outcome));
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.exit_code, 1);
    EXPECT_EQ(outcome.out, banner + screen_menu + width_prompt + height_prompt + rate_menu);
    EXPECT_EQ(outcome.err, "intro_silent: not enough memory for " + c.what + " of a " + c.width +
                               " x " + c.height + " screen\n");
  }
}

// The default action of SIGINT ends the program wherever it stands. On a terminal the
// prompt is out before the program waits, so the bytes up to it can be waited for.
TEST(SilentInterrupt, DuringTheDialogueOnATerminal) {
  const std::vector<EndCase> cases = {
      {"", banner + screen_menu},
      {"5\n", banner + screen_menu + width_prompt},
      {"5\n80\n", banner + screen_menu + width_prompt + height_prompt},
      {"1\n5\n", banner + screen_menu + rate_menu + rate_prompt},
  };
  for (const EndCase& c : cases) {
    const Outcome outcome = run_silent(c.input, until_bytes(c.text.size()), {}, Wiring::terminal);
    SCOPED_TRACE("input: \"" + c.input + "\"; " + e2e::describe(outcome));
    EXPECT_EQ(outcome.out, c.text);
    EXPECT_EQ(outcome.signal, SIGINT);
    EXPECT_FALSE(outcome.killed);
    EXPECT_FALSE(outcome.reached_deadline);
  }
}

// On a pipe the menus wait unflushed in the buffer: only a deadline tells when to stop.
TEST(SilentInterrupt, DuringTheDialogueOnAPipe) {
  Launch launch;
  launch.program = program;
  launch.input = "5\n";
  launch.close_input = false;
  Stop stop;
  stop.deadline = milliseconds{300};
  const Outcome outcome = e2e::run(launch, stop);
  SCOPED_TRACE(e2e::describe(outcome));
  EXPECT_TRUE(outcome.reached_deadline);
  EXPECT_EQ(outcome.signal, SIGINT);
  EXPECT_FALSE(outcome.killed);
  EXPECT_EQ(outcome.err, "");
}

TEST(SilentInterrupt, DuringTheFrames) {
  const std::string text = banner + screen_menu + rate_menu + rate_prompt;
  for (const Wiring wiring : {Wiring::pipes, Wiring::terminal}) {
    for (const std::string& rate : {no_pause, std::string("4\n")}) {
      const Outcome outcome =
          run_silent("1\n" + rate, until_bytes(text.size() + 3 * 2000), {}, wiring);
      const std::string shown_text = rate == no_pause ? text : banner + screen_menu + rate_menu;
      SCOPED_TRACE(std::string(wiring == Wiring::pipes ? "pipe" : "terminal") + ", rate \"" + rate +
                   "\"; " + e2e::describe(outcome));
      EXPECT_EQ(outcome.out.substr(0, shown_text.size()), shown_text);
      EXPECT_EQ(frame_fault(std::string_view(outcome.out).substr(shown_text.size()), 80, 25), "");
      EXPECT_EQ(outcome.signal, SIGINT);
      EXPECT_FALSE(outcome.killed);
      EXPECT_FALSE(outcome.reached_deadline);
    }
  }
}

// ---- The first frame, worked out independently from the documented rules. ----

// A small reference of the first frame: spaces, fan A, fan B, the scrollers, the logos,
// each drawn over what came before. Only valid while the scroll window is all spaces
// (the scroll text begins with 120 spaces), that is on Screens up to 120 columns wide.
class Picture {
 public:
  Picture(int width, int height)
      : width_(width), height_(height), cells_(static_cast<std::size_t>(width * height), ' ') {}

  void put(int x, int y, char c) {
    if (x >= 0 && x < width_ && y >= 0 && y < height_)
      cells_[static_cast<std::size_t>(y * width_ + x)] = c;
  }

  // 16.16 fixed point from the start point, the end point excluded.
  void line(int x1, int y1, int x2, int y2, char c) {
    const int dx = std::abs(x2 - x1);
    const int dy = std::abs(y2 - y1);
    const int sx = x2 >= x1 ? 1 : -1;
    const int sy = y2 >= y1 ? 1 : -1;
    if (dx == 0 && dy == 0) {
      put(x1, y1, c);
    } else if (dx >= dy) {
      const int slope = dy * 65536 / dx * sy;
      int acc = y1 * 65536 + 32768;
      for (int x = x1; x != x2; x += sx, acc += slope) put(x, acc >> 16, c);  // >> is floor
    } else {
      const int slope = dx * 65536 / dy * sx;
      int acc = x1 * 65536 + 32768;
      for (int y = y1; y != y2; y += sy, acc += slope) put(acc >> 16, y, c);
    }
  }

  // Both endpoints step on for every further line and bounce off the edges.
  void fan(std::array<int, 4> ends, std::array<int, 4> steps, char c) {
    const std::array<int, 4> sizes = {width_, height_, width_, height_};
    for (int k = 0; k < height_ / 4; ++k) {
      line(ends[0], ends[1], ends[2], ends[3], c);
      for (std::size_t i = 0; i < 4; ++i) {
        ends[i] += steps[i];
        if (ends[i] < 0) {
          ends[i] = 0;
          steps[i] = -steps[i];
        } else if (ends[i] >= sizes[i]) {
          ends[i] = sizes[i] - 1;
          steps[i] = -steps[i];
        }
      }
    }
  }

  // The first frame in film output.
  std::string print() const {
    std::string out = "\n";
    for (int y = 0; y < height_; ++y) {
      out.append(cells_.data() + y * width_, static_cast<std::size_t>(width_ - 1));
      if (y + 1 < height_) out += '\n';
    }
    return out;
  }

 private:
  int width_, height_;
  std::vector<char> cells_;
};

// The upper scroller's default waves, as tabulated: one swing of amplitude 7 sideways,
// three swings (amplitudes 4, 3, 3) up and down.
constexpr std::array<int, 42> xwave = {0,  1,  2,  3,  4,  4,  5,  6,  6,  7,  7,  7,  7,  6,
                                       6,  5,  4,  4,  3,  2,  1,  0,  -1, -2, -3, -4, -4, -5,
                                       -6, -6, -7, -7, -7, -7, -6, -6, -5, -4, -4, -3, -2, -1};
constexpr std::array<int, 118> ywave = {
    0,  1,  2,  2,  3,  3,  3,  4,  4,  4,  4,  4,  4,  3,  3,  3,  2,  2,  1,  0,  -1, -2, -2, -3,
    -3, -3, -4, -4, -4, -4, -4, -4, -3, -3, -3, -2, -2, -1, 0,  1,  1,  2,  2,  3,  3,  3,  3,  3,
    3,  2,  2,  1,  1,  0,  -1, -1, -2, -2, -3, -3, -3, -3, -3, -3, -2, -2, -1, -1, 0,  1,  1,  2,
    2,  2,  2,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  2,  2,  2,  2,  1,  1,  0,  -1, -1,
    -2, -2, -2, -2, -3, -3, -3, -3, -3, -3, -3, -3, -3, -3, -3, -3, -2, -2, -2, -2, -1, -1};
static_assert(xwave[21] == -xwave[0] && xwave[30] == -xwave[9]);

// Entries 0, 8, 16, 24, 32 of the column path and 0, 4, 8, 12, 16 of the row path:
// where the five logos stand before the first advance.
constexpr std::array<int, 5> logo_column_offsets = {0, 8, 14, 18, 15};
constexpr std::array<int, 5> logo_row_offsets = {0, 4, 7, 9, 9};
constexpr std::array<const char*, 3> logo_rows = {"/~~~~\\", "|QUOX|", "\\____/"};

std::string reference_first_frame(int width, int height, unsigned seed) {
  Picture picture(width, height);
  std::srand(seed);
  std::array<std::array<int, 4>, 2> ends{};
  for (auto& fan : ends) {
    std::array<int, 12> r{};
    for (int& value : r) value = std::rand();
    fan = {r[0] % width, r[1] % height, r[2] % width, r[3] % height};
  }
  picture.fan(ends[0], {3, 2, 3, 2}, '+');
  picture.fan(ends[1], {4, 3, 4, 3}, '.');
  for (int i = 0; i < width; ++i) {
    picture.put(i + xwave[static_cast<std::size_t>(i % 42)],
                3 * height / 4 + ywave[static_cast<std::size_t>(i % 118)], ' ');
  }
  for (int i = 0; i < width; ++i) picture.put(i, height - 1, ' ');
  for (std::size_t k = 0; k < 5; ++k) {
    const int column = logo_column_offsets[k] * (width / 40) + width / 2 - 3;
    const int row = logo_row_offsets[k] * (height / 20) + height / 2 - 2;
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 6; ++c)
        picture.put(column + c, row + r, logo_rows[static_cast<std::size_t>(r)][c]);
    }
  }
  return picture.print();
}

// What the dialogue writes for a custom size and a custom rate.
const std::string custom_text =
    banner + screen_menu + width_prompt + height_prompt + rate_menu + rate_prompt;

std::string size_input(int width, int height) {
  return "5\n" + std::to_string(width) + "\n" + std::to_string(height) + "\n" + no_pause;
}

// Row by row, for reading a failure.
std::string rows(std::string_view frame) {
  std::string out;
  std::size_t start = 1;
  for (int y = 0; start <= frame.size(); ++y) {
    const std::size_t end = std::min(frame.find('\n', start), frame.size());
    out += (y < 10 ? " " : "") + std::to_string(y) + " |" +
           std::string(frame.substr(start, end - start)) + "|\n";
    start = end + 1;
  }
  return out;
}

struct PictureCase {
  int width, height;
};

TEST(SilentScene, FirstFrameUnderFrozenTimeIsTheDocumentedPicture) {
  const std::vector<std::string> frozen = e2e::frozen_time_environment();
  if (frozen.empty()) GTEST_SKIP() << "libfaketime is not installed";
  for (const PictureCase c : {PictureCase{40, 24}, PictureCase{80, 25}, PictureCase{80, 50},
                              PictureCase{13, 7}, PictureCase{120, 30}}) {
    const std::string text = custom_text;
    const std::size_t size = static_cast<std::size_t>(c.width * c.height);
    const Outcome outcome =
        run_silent(size_input(c.width, c.height), until_bytes(text.size() + size), frozen);
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + ": " +
                 e2e::describe(outcome));
    ASSERT_GE(outcome.out.size(), text.size() + size);
    const std::string expected = reference_first_frame(c.width, c.height, e2e::frozen_seed);
    const std::string_view actual = frame(outcome, text.size(), size, 0);
    EXPECT_EQ(actual, expected) << "actual:\n" << rows(actual) << "expected:\n" << rows(expected);
  }
}

// Checked by hand: the corners that the path tables give on 80 x 25 and 40 x 24.
struct LogoCase {
  int width, height;
  std::array<std::array<int, 2>, 5> corners;  // column, row of logo 0 to 4
};

TEST(SilentScene, FirstFrameShowsTheFiveLogosAtTheirCorners) {
  const std::vector<LogoCase> cases = {
      {80, 25, {{{37, 10}, {53, 14}, {65, 17}, {73, 19}, {67, 19}}}},
      // Logo 4 at column 32 covers the left half of logo 3 at column 35 on row 19.
      {40, 24, {{{17, 10}, {25, 14}, {31, 17}, {35, 19}, {32, 19}}}},
  };
  for (const LogoCase& c : cases) {
    const std::string text = custom_text;
    const std::size_t size = static_cast<std::size_t>(c.width * c.height);
    const Outcome outcome =
        run_silent(size_input(c.width, c.height), until_bytes(text.size() + size));
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + ": " +
                 e2e::describe(outcome));
    ASSERT_GE(outcome.out.size(), text.size() + size);
    const std::string_view shown = frame(outcome, text.size(), size, 0);
    // Column x of row y; the last Screen column is never printed.
    auto at = [&](int x, int y) { return shown[static_cast<std::size_t>(1 + y * c.width + x)]; };
    for (std::size_t k = 0; k < 5; ++k) {
      const auto [column, row] = c.corners[k];
      for (int r = 0; r < 3; ++r) {
        for (int i = 0; i < 6; ++i) {
          const int x = column + i;
          if (x < 0 || x >= c.width - 1) continue;
          // A later logo covers an earlier one where they overlap.
          bool covered = false;
          for (std::size_t later = k + 1; later < 5; ++later) {
            const auto [lc, lr] = c.corners[later];
            covered = covered || (x >= lc && x < lc + 6 && row + r >= lr && row + r < lr + 3);
          }
          if (covered) continue;
          EXPECT_EQ(at(x, row + r), logo_rows[static_cast<std::size_t>(r)][i])
              << "logo " << k << ", row " << r << ", column " << i << "\n"
              << rows(shown);
        }
      }
    }
  }
}

TEST(SilentScene, SameSecondSameSizeGivesTheSameFrames) {
  const std::vector<std::string> frozen = e2e::frozen_time_environment();
  if (frozen.empty()) GTEST_SKIP() << "libfaketime is not installed";
  constexpr std::size_t frames = 40;
  for (const PictureCase c : {PictureCase{80, 25}, PictureCase{40, 24}, PictureCase{200, 60}}) {
    const std::string text = custom_text;
    const std::size_t size = static_cast<std::size_t>(c.width * c.height);
    const std::size_t wanted = text.size() + frames * size;
    const Outcome first = run_silent(size_input(c.width, c.height), until_bytes(wanted), frozen);
    const Outcome second = run_silent(size_input(c.width, c.height), until_bytes(wanted), frozen);
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + ": " +
                 e2e::describe(first) + " / " + e2e::describe(second));
    ASSERT_GE(first.out.size(), wanted);
    ASSERT_GE(second.out.size(), wanted);
    EXPECT_EQ(first.out.substr(0, wanted), second.out.substr(0, wanted));
    EXPECT_EQ(frame_fault(std::string_view(first.out).substr(text.size()),
                          static_cast<std::size_t>(c.width), static_cast<std::size_t>(c.height)),
              "");
    // The picture moves: no two consecutive frames of the first 40 are alike.
    for (std::size_t i = 0; i + 1 < frames; ++i) {
      EXPECT_NE(frame(first, text.size(), size, i), frame(first, text.size(), size, i + 1))
          << "frames " << i << " and " << i + 1;
    }
  }
}

// The seed really is the clock: another second gives other fans.
TEST(SilentScene, AnotherSecondGivesOtherFans) {
  std::vector<std::string> frozen = e2e::frozen_time_environment();
  if (frozen.empty()) GTEST_SKIP() << "libfaketime is not installed";
  const std::string text = custom_text;
  const Outcome first = run_silent(size_input(80, 25), until_bytes(text.size() + 2000), frozen);
  for (std::string& item : frozen) {
    if (item.starts_with("FAKETIME=")) item = "FAKETIME=2026-01-01 00:00:07";
  }
  const Outcome later = run_silent(size_input(80, 25), until_bytes(text.size() + 2000), frozen);
  ASSERT_GE(first.out.size(), text.size() + 2000);
  ASSERT_GE(later.out.size(), text.size() + 2000);
  const std::string expected = reference_first_frame(80, 25, e2e::frozen_seed + 7);
  EXPECT_EQ(frame(later, text.size(), 2000, 0), expected)
      << rows(frame(later, text.size(), 2000, 0));
  EXPECT_NE(frame(first, text.size(), 2000, 0), frame(later, text.size(), 2000, 0));
}

}  // namespace
