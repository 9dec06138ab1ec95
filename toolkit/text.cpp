#include "toolkit/text.h"

#include <algorithm>

int32_t text_width(const char* text) {
  int32_t longest = 0;
  int32_t line = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '\n') {
      longest = std::max(longest, line);
      line = 0;
    } else {
      ++line;
    }
  }
  return longest;
}

int32_t text_height(const char* text) {
  int32_t newlines = 0;
  for (const char* p = text; *p != '\0'; ++p) newlines += *p == '\n' ? 1 : 0;
  return newlines + 1;
}

int32_t text_length(const char* text) {
  int32_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}
