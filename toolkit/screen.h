// The character frame buffer and its film output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// A rectangle of character cells, row-major: cell (x, y) is cells[y * width + x].
// A cell prints as its low-order byte.
struct Screen {
  int32_t width;
  int32_t height;
  std::vector<int32_t> cells;
  int32_t frame_count;  // frames printed so far; see screen_print for what follows 2147483647
};

// The Screen created last; every drawing object binds itself to it at creation.
extern Screen* current_screen;

// A new 80 x 25 Screen of spaces, which becomes current_screen.
Screen* screen_create();

// Replaces the cells by width x height spaces. A size below 1 x 1, one whose cell
// count exceeds 2147483647, or cells that cannot be allocated leave the Screen
// empty (0 x 0, no cells), so that nothing can draw or print beyond its memory.
void screen_resize(Screen* screen, int32_t width, int32_t height);

void screen_clear(Screen* screen, int32_t value);

// Sets cell (x, y) when it lies on the Screen; elsewhere nothing happens.
void screen_put(Screen* screen, int32_t x, int32_t y, int32_t value);

// Bytes of one frame in film output: a newline, then height lines of width - 1
// characters, separated by newlines, with no final newline.
std::size_t screen_frame_size(const Screen* screen);

// Writes one frame in film output, flushes the stream and counts the frame.
void screen_print(Screen* screen, std::FILE* stream);
