// Clipped drawing primitives. Characters are single bytes taken as signed; every cell
// goes through draw_char's clipping, which drops positions outside the Screen.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/screen.h"

// Draws the bytes of text up to its end or its first NUL from (x, y) on. A newline
// returns to column x on the next row; every other byte, spaces included, is drawn.
void draw_text(Screen* screen, int32_t x, int32_t y, std::string_view text);

void draw_char(Screen* screen, int32_t x, int32_t y, char c);

// Runs and rectangles include both of their ends, in either order.
void draw_hline(Screen* screen, int32_t x1, int32_t x2, int32_t y, char c);
void draw_vline(Screen* screen, int32_t y1, int32_t y2, int32_t x, char c);
void fill_rect(Screen* screen, int32_t x1, int32_t y1, int32_t x2, int32_t y2, char c);

// A straight line from (x1, y1) towards (x2, y2) in 16.16 fixed point, rounded to the
// nearest cell; the end point itself is not drawn unless the line has length zero.
void draw_line(Screen* screen, int32_t x1, int32_t y1, int32_t x2, int32_t y2, char c);
