// Measures of NUL-terminated text blocks whose lines end with newlines. A measure that
// would exceed 2147483647 gives 2147483647.
#pragma once

#include <cstdint>

// The length of the longest line that is ended by a newline (a final unended line does
// not count).
int32_t text_width(const char* text);

// The number of newlines plus 1.
int32_t text_height(const char* text);

// The number of bytes before the terminating NUL.
int32_t text_length(const char* text);
