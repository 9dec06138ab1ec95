// Linked against effects_logo_music alone: the logo of the program with music.
#include <gtest/gtest.h>

#include <string_view>

#include "effects/logo_art.h"

namespace {

TEST(LogoArt, MusicProgramsLogoHasBarsAtBothEnds) {
  EXPECT_EQ(std::string_view(logo_art), "|~~~~|\n|QUOX|\n|____|\n");
  EXPECT_EQ(std::string_view(logo_art).size(), 21u);
}

}  // namespace
