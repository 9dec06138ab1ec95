// The per-program differences of the entry, in one place: banner colours, the frame
// wait and the music's start and stop. Built once per program; INTRO_WITH_MUSIC
// selects intro's side.
#include "intro/program.h"

#include <unistd.h>

#include "intro/loop.h"

#if INTRO_WITH_MUSIC

#include <csignal>

#include "music/player.h"

const std::string_view program_name = "intro";
const BannerColours program_colours{"\x1b[31m", "\x1b[34m"};  // red title, blue hint

void program_start() {
  // Some of libmikmod's output drivers (SDL's) take over SIGINT and SIGTERM and turn
  // them into events nobody reads; keep whatever the process had, so Ctrl-C still ends it.
  struct sigaction interrupt {};
  struct sigaction terminate {};
  sigaction(SIGINT, nullptr, &interrupt);
  sigaction(SIGTERM, nullptr, &terminate);
  music_start();
  sigaction(SIGINT, &interrupt, nullptr);
  sigaction(SIGTERM, &terminate, nullptr);
}

void program_after_print() {}
void program_end_of_pass() { frame_wait(); }
void program_before_exit() { music_stop(); }

#else

const std::string_view program_name = "intro_silent";
const BannerColours program_colours{"\x1b[34m", "\x1b[35m"};  // blue title, magenta hint

void program_start() {}
void program_after_print() { usleep(static_cast<useconds_t>(frame_period)); }
void program_end_of_pass() {}
void program_before_exit() {}

#endif
