// The start-up dialogue: the banner, the screen menu, the frame-rate menu and their
// custom entries, read from in_stream and written to out_stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

// Bound by the program entry to standard input and output before anything else.
extern std::FILE* in_stream;
extern std::FILE* out_stream;

// The dialogue's results, each greater than 0 once it has ended.
extern int32_t screen_width;
extern int32_t screen_height;
extern int32_t fps;

// What the reading steps yield when in_stream has no character left to give.
inline constexpr int32_t no_input = -1;

// One answer line: the code of its first character; the rest of the line is dropped.
int32_t read_choice();

// One entry line: the decimal number at its start, 0 when it does not begin with a
// digit or when the number exceeds 2147483647; the rest of the line is dropped.
int32_t read_number();

// The banner's two colours; everything else of it is the same in both programs.
struct BannerColours {
  std::string_view title;
  std::string_view hint;
};

void banner_print(const BannerColours& colours);

enum class DialogueEnd { answered, end_of_input, read_error };

// Runs both menus with their entries, retrying without limit, and sets screen_width,
// screen_height and fps. Never flushes out_stream itself. Anything but `answered`
// means in_stream ran dry (or failed) while a question waited for its answer.
DialogueEnd dialogue_run();
