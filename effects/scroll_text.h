// The text that both of the intro's scrollers run through.
#pragma once

#include <cstdint>

// Printable characters only, no newline: 120 spaces, an about-text of the intro, then
// 100 spaces. NUL-terminated after its last space.
inline constexpr int32_t scroll_text_length = 2691;
extern const char scroll_text[scroll_text_length + 1];
