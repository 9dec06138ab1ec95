// What sets intro and intro_silent apart in the entry; each program links its own
// definitions, made from program.cpp.
#pragma once

#include <string_view>

#include "intro/dialogue.h"

// The program's fixed name for its messages (never argv[0]).
extern const std::string_view program_name;
extern const BannerColours program_colours;

// Before the banner: intro brings up the music here.
void program_start();
// Right after each frame is printed: intro_silent sleeps one frame period here.
void program_after_print();
// Last step of every pass: intro waits one frame period here while feeding the music.
void program_end_of_pass();
// Before an early exit (the dialogue's input ran dry): intro shuts the music down.
void program_before_exit();
