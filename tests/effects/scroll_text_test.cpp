#include "effects/scroll_text.h"

#include <gtest/gtest.h>

#include <string_view>

#include "toolkit/text.h"

namespace {

TEST(ScrollText, HasItsFixedForm) {
  const std::string_view text(scroll_text);
  EXPECT_EQ(text.size(), 2691u);
  EXPECT_EQ(text_length(scroll_text), 2691);
  EXPECT_EQ(text.find_first_not_of(' '), 120u);
  EXPECT_EQ(text.find_last_not_of(' '), 2691u - 101u);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    ASSERT_TRUE(c >= 32 && c <= 126) << "character " << i << " has code " << int{c};
  }
}

TEST(ScrollText, SaysHowToLeave) {
  EXPECT_NE(std::string_view(scroll_text).find("Ctrl-C"), std::string_view::npos);
}

}  // namespace
