#include "intro/dialogue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/dialogue_texts.h"

namespace {

using namespace dialogue_texts;

struct Outcome {
  DialogueEnd end;
  std::string output;
};

// Runs the dialogue on the given input and collects what it wrote.
Outcome run_dialogue(const std::string& input) {
  std::string copy = input;
  in_stream = copy.empty() ? std::fopen("/dev/null", "r")
                           : fmemopen(copy.data(), copy.size(), "r");
  char* buffer = nullptr;
  std::size_t size = 0;
  out_stream = open_memstream(&buffer, &size);
  screen_width = screen_height = fps = 0;
  const DialogueEnd end = dialogue_run();
  std::fclose(out_stream);
  std::fclose(in_stream);
  Outcome outcome{end, std::string(buffer, size)};
  std::free(buffer);
  return outcome;
}

struct AnsweredCase {
  const char* name;
  std::string input;
  std::string output;
  int32_t width, height, rate;
};

TEST(Dialogue, AnswersGiveTheirResultsAndExactTexts) {
  const AnsweredCase cases[] = {
      {"presets", "1\n1\n", screen_menu + rate_menu, 80, 25, 10},
      {"second presets", "2\n2\n", screen_menu + rate_menu, 80, 50, 20},
      {"third presets", "3\n3\n", screen_menu + rate_menu, 80, 24, 25},
      {"fourth presets", "4\n4\n", screen_menu + rate_menu, 40, 24, 50},
      {"only the first character counts", "12\n45\n", screen_menu + rate_menu, 80, 25, 50},
      {"5x opens the size entry", "5x\n100\n30\n1\n",
       screen_menu + width_prompt + height_prompt + rate_menu, 100, 30, 10},
      {"rejected answers repeat the whole menu without a message", "0\n6\na\n 1\n\n1\n0\n\n3\n",
       screen_menu + screen_menu + screen_menu + screen_menu + screen_menu + screen_menu +
           rate_menu + rate_menu + rate_menu,
       80, 25, 25},
      {"80x25 at the width prompt gives 80, the height comes from the next line",
       "5\n80x25\n24\n1\n", screen_menu + width_prompt + height_prompt + rate_menu, 80, 24, 10},
      {"leading zeros", "5\n007\n0009\n1\n",
       screen_menu + width_prompt + height_prompt + rate_menu, 7, 9, 10},
      {"wrong widths repeat the width prompt only", "5\n0\n-80\n 80\nx\n\n80\n25\n1\n",
       screen_menu + width_prompt + wrong_width + width_prompt + wrong_width +
           width_prompt + wrong_width + width_prompt + wrong_width + width_prompt +
           wrong_width + width_prompt + height_prompt + rate_menu,
       80, 25, 10},
      {"a wrong height keeps the width", "5\n80\n0\n25\n1\n",
       screen_menu + width_prompt + height_prompt + wrong_height + height_prompt + rate_menu,
       80, 25, 10},
      {"custom rates", "1\n5\n1\n", screen_menu + rate_menu + rate_prompt, 80, 25, 1},
      {"2.5 fps gives 2", "1\n5\n2.5\n", screen_menu + rate_menu + rate_prompt, 80, 25, 2},
      {"a wrong rate repeats its prompt", "1\n5\n0\n1000001\n",
       screen_menu + rate_menu + rate_prompt + wrong_fps + rate_prompt, 80, 25, 1000001},
      {"carriage returns do no harm", "5\r\n80\r\n25\r\n2\r\n",
       screen_menu + width_prompt + height_prompt + rate_menu, 80, 25, 20},
      {"the largest 32-bit number is taken", "5\n2147483647\n1\n1\n",
       screen_menu + width_prompt + height_prompt + rate_menu, 2147483647, 1, 10},
      {"a number past 32 bits counts as wrong", "5\n2147483648\n99999999999999999999\n8\n8\n1\n",
       screen_menu + width_prompt + wrong_width + width_prompt + wrong_width +
           width_prompt + height_prompt + rate_menu,
       8, 8, 10},
      {"a last answer ended by the end of input counts", "1\n1", screen_menu + rate_menu, 80,
       25, 10},
      {"a last number ended by the end of input counts", "1\n5\n30",
       screen_menu + rate_menu + rate_prompt, 80, 25, 30},
  };
  for (const AnsweredCase& c : cases) {
    const Outcome outcome = run_dialogue(c.input);
    EXPECT_EQ(outcome.end, DialogueEnd::answered) << "case " << c.name;
    EXPECT_EQ(outcome.output, c.output) << "case " << c.name;
    EXPECT_EQ(screen_width, c.width) << "case " << c.name;
    EXPECT_EQ(screen_height, c.height) << "case " << c.name;
    EXPECT_EQ(fps, c.rate) << "case " << c.name;
  }
}

struct EndCase {
  const char* name;
  std::string input;
  std::string output;
};

TEST(Dialogue, EndOfInputEndsEveryStateAtOnce) {
  const EndCase cases[] = {
      {"screen menu", "", screen_menu},
      {"screen menu after a rejected answer", "9\n", screen_menu + screen_menu},
      {"width entry", "5\n", screen_menu + width_prompt},
      {"width entry after a wrong width", "5\n0", screen_menu + width_prompt + wrong_width +
                                                      width_prompt},
      {"height entry", "5\n80\n", screen_menu + width_prompt + height_prompt},
      {"rate menu", "1\n", screen_menu + rate_menu},
      {"rate entry", "1\n5\n", screen_menu + rate_menu + rate_prompt},
      {"rate entry after a wrong rate", "1\n5\n-1\n",
       screen_menu + rate_menu + rate_prompt + wrong_fps + rate_prompt},
  };
  for (const EndCase& c : cases) {
    const Outcome outcome = run_dialogue(c.input);
    EXPECT_EQ(outcome.end, DialogueEnd::end_of_input) << "case " << c.name;
    EXPECT_EQ(outcome.output, c.output) << "case " << c.name;
  }
}

TEST(Dialogue, ReadErrorIsToldApartFromTheEnd) {
  // A stream opened for writing only fails every read with an error.
  in_stream = std::fopen("/dev/null", "w");
  char* buffer = nullptr;
  std::size_t size = 0;
  out_stream = open_memstream(&buffer, &size);
  EXPECT_EQ(dialogue_run(), DialogueEnd::read_error);
  std::fclose(out_stream);
  std::fclose(in_stream);
  EXPECT_EQ(std::string(buffer, size), screen_menu);
  std::free(buffer);
}

TEST(Dialogue, BannerHasItsColoursAndEndsWithABlankLine) {
  char* buffer = nullptr;
  std::size_t size = 0;
  out_stream = open_memstream(&buffer, &size);
  banner_print({"\x1b[34m", "\x1b[35m"});
  std::fclose(out_stream);
  const std::string banner(buffer, size);
  std::free(buffer);

  const std::string title = "\x1b[34mQUOX3185 Tarvel Lines.\n";
  const std::string hint = "\x1b[35mTo end intro press Ctrl-c.\x1b[0m\n\n";
  ASSERT_EQ(banner.substr(0, title.size()), title);
  ASSERT_GE(banner.size(), title.size() + hint.size());
  EXPECT_EQ(banner.substr(banner.size() - hint.size()), hint);
  // The credit line: plain printable text on one line, the reset right after it.
  const std::string credit_and_reset =
      banner.substr(title.size(), banner.size() - title.size() - hint.size());
  const std::string reset = "\x1b[0m\n\n";
  ASSERT_GT(credit_and_reset.size(), reset.size());
  EXPECT_EQ(credit_and_reset.substr(credit_and_reset.size() - reset.size()), reset);
  const std::string credit = credit_and_reset.substr(0, credit_and_reset.size() - reset.size());
  for (char c : credit) EXPECT_TRUE(c >= 32 && c <= 126) << "byte " << int(c) << " in the credit";
}

struct ReadCase {
  const char* name;
  std::string input;
  int32_t first;
  int32_t second;
};

TEST(Dialogue, ReadingStepsTakeOneLineEach) {
  const ReadCase choices[] = {
      {"first character, rest of the line dropped", "abc\nd\n", 'a', 'd'},
      {"an empty line answers with the newline", "\nx\n", '\n', 'x'},
      {"a blank is not skipped", " 1\n2\n", ' ', '2'},
      {"the end of input", "", no_input, no_input},
  };
  for (const ReadCase& c : choices) {
    std::string copy = c.input;
    in_stream = copy.empty() ? std::fopen("/dev/null", "r")
                             : fmemopen(copy.data(), copy.size(), "r");
    EXPECT_EQ(read_choice(), c.first) << "case " << c.name;
    EXPECT_EQ(read_choice(), c.second) << "case " << c.name;
    std::fclose(in_stream);
  }
  const ReadCase numbers[] = {
      {"80x then 0080", "80x\n0080\n", 80, 80},
      {"blank, sign and letters give 0", " 80\n-5\n", 0, 0},
      {"an empty line gives 0", "\nx\n", 0, 0},
      {"digits then a carriage return", "12\r\n7", 12, 7},
      {"past 2147483647 gives 0 and drops the rest", "21474836470 5\n3\n", 0, 3},
  };
  for (const ReadCase& c : numbers) {
    std::string copy = c.input;
    in_stream = fmemopen(copy.data(), copy.size(), "r");
    EXPECT_EQ(read_number(), c.first) << "case " << c.name;
    EXPECT_EQ(read_number(), c.second) << "case " << c.name;
    EXPECT_EQ(read_number(), no_input) << "case " << c.name;
    std::fclose(in_stream);
  }
}

}  // namespace
