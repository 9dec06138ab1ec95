#include "intro/dialogue.h"

#include <array>
#include <limits>

std::FILE* in_stream = nullptr;
std::FILE* out_stream = nullptr;
int32_t screen_width = 0;
int32_t screen_height = 0;
int32_t fps = 0;

namespace {

struct MenuOption {
  std::string_view line;
  int32_t first;   // width, or frames per second
  int32_t second;  // height; unused by the rate menu
};

// Answers 1 to 4; answer 5 opens the custom entry named by the fifth line.
struct Menu {
  std::string_view heading;
  std::array<MenuOption, 5> options;
};

constexpr Menu screen_menu{
    "\nSelect your screen:\n",
    {{{"[1] 80x25 Linux, MS-DOS\n", 80, 25},
      {"[2] 80x50 little font\n", 80, 50},
      {"[3] 80x24 xterm, rxvt\n", 80, 24},
      {"[4] 40x24 low res\n", 40, 24},
      {"[5] other resolution\n", 0, 0}}}};

constexpr Menu rate_menu{
    "Select frames per second:\n",
    {{{"[1] 10 fps\n", 10, 0},
      {"[2] 20 fps\n", 20, 0},
      {"[3] 25 fps\n", 25, 0},
      {"[4] 50 fps\n", 50, 0},
      {"[5] other fps\n", 0, 0}}}};

struct Entry {
  std::string_view prompt;
  std::string_view complaint;
};

constexpr Entry width_entry{"Width (columns) ?", "Wrong width.\n"};
constexpr Entry height_entry{"Height (lines) ?", "Wrong height.\n"};
constexpr Entry rate_entry{"Frames per second (fps) ?", "Wrong fps.\n"};

void write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), out_stream); }

// Drops the rest of the line up to and including its newline; the end of input also
// ends the line, so that a last answer without a newline still counts.
void drop_line(int c) {
  while (c != '\n' && c != EOF) c = std::getc(in_stream);
}

// getc retries after an error but not after the end, so the end flag is the one to trust.
DialogueEnd input_end() {
  return std::feof(in_stream) != 0 ? DialogueEnd::end_of_input : DialogueEnd::read_error;
}

// Shows the menu until an answer 1 to 5 arrives; yields its index 0 to 4, or no_input.
int32_t ask_menu(const Menu& menu) {
  for (;;) {
    write(menu.heading);
    for (const MenuOption& option : menu.options) write(option.line);
    write("?");
    const int32_t answer = read_choice();
    if (answer == no_input) return no_input;
    if (answer > '0' && answer <= '5') return answer - '1';
  }
}

// Asks the entry until a number greater than 0 arrives; yields it, or no_input.
int32_t ask_entry(const Entry& entry) {
  for (;;) {
    write(entry.prompt);
    const int32_t number = read_number();
    if (number == no_input) return no_input;
    if (number > 0) return number;
    write(entry.complaint);
  }
}

}  // namespace

int32_t read_choice() {
  const int c = std::getc(in_stream);
  if (c == EOF) return no_input;
  drop_line(c);
  return c;
}

int32_t read_number() {
  int c = std::getc(in_stream);
  if (c == EOF) return no_input;
  int64_t number = 0;
  bool too_large = false;
  while (c >= '0' && c <= '9') {
    // Once past the 32-bit range the digits are still consumed, but the number is void.
    if (!too_large) {
      number = number * 10 + (c - '0');
      too_large = number > std::numeric_limits<int32_t>::max();
    }
    c = std::getc(in_stream);
  }
  drop_line(c);
  return too_large ? 0 : static_cast<int32_t>(number);
}

void banner_print(const BannerColours& colours) {
  write(colours.title);
  write("QUOX3185 Tarvel Lines.\n");
  write("Lines, letters and logos, drawn in nothing but text.");
  write("\x1b[0m\n\n");
  write(colours.hint);
  write("To end intro press Ctrl-c.");
  write("\x1b[0m\n\n");
}

DialogueEnd dialogue_run() {
  const int32_t size = ask_menu(screen_menu);
  if (size == no_input) return input_end();
  if (size < 4) {
    screen_width = screen_menu.options[size].first;
    screen_height = screen_menu.options[size].second;
  } else {
    const int32_t width = ask_entry(width_entry);
    if (width == no_input) return input_end();
    screen_width = width;
    const int32_t height = ask_entry(height_entry);
    if (height == no_input) return input_end();
    screen_height = height;
  }
  const int32_t rate = ask_menu(rate_menu);
  if (rate == no_input) return input_end();
  if (rate < 4) {
    fps = rate_menu.options[rate].first;
  } else {
    const int32_t entered = ask_entry(rate_entry);
    if (entered == no_input) return input_end();
    fps = entered;
  }
  return DialogueEnd::answered;
}
