#include "toolkit/text.h"

#include <algorithm>
#include <limits>

namespace {

// Counting in 64 bits cannot overflow; a count beyond the 32-bit result is capped.
int32_t capped(int64_t count) {
  return static_cast<int32_t>(std::min<int64_t>(count, std::numeric_limits<int32_t>::max()));
}

}  // namespace

int32_t text_width(const char* text) {
  int64_t longest = 0;
  int64_t line = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '\n') {
      longest = std::max(longest, line);
      line = 0;
    } else {
      ++line;
    }
  }
  return capped(longest);
}

int32_t text_height(const char* text) {
  int64_t newlines = 0;
  for (const char* p = text; *p != '\0'; ++p) newlines += *p == '\n' ? 1 : 0;
  return capped(newlines + 1);
}

int32_t text_length(const char* text) {
  int64_t length = 0;
  while (text[length] != '\0') ++length;
  return capped(length);
}
