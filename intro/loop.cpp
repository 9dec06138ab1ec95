#include "intro/loop.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <new>

#include "intro/dialogue.h"
#include "intro/program.h"
#include "intro/scene.h"
#include "toolkit/screen.h"

int32_t frame_period = 0;

namespace {

// Ends the program before its first frame with one line on standard error; intro
// shuts its music down first.
[[noreturn]] __attribute__((format(printf, 1, 2))) void refuse(const char* format, ...) {
  program_before_exit();
  std::fprintf(stderr, "%.*s: ", static_cast<int>(program_name.size()), program_name.data());
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(stderr, format, arguments);
  va_end(arguments);
  std::fputc('\n', stderr);
  std::exit(1);
}

[[noreturn]] void refuse_memory(const char* what) {
  refuse("not enough memory for %s of a %d x %d screen", what, static_cast<int>(screen_width),
         static_cast<int>(screen_height));
}

// Gives out_stream a buffer of its own that holds a whole frame, so that each frame's
// flush reaches the terminal or pipe in one write and is never seen half-drawn (up to
// the 2147479552 bytes that Linux moves in one write; larger frames need more). ISO C
// allows setvbuf only before other use of the stream; glibc honours it after the
// dialogue's output once that has been flushed.
bool buffer_whole_frames(const Screen* screen) {
  const std::size_t size = screen_frame_size(screen);
  char* buffer = static_cast<char*>(std::malloc(size));
  if (buffer == nullptr) return false;
  std::fflush(out_stream);
  if (std::setvbuf(out_stream, buffer, _IOFBF, size) != 0) return false;
  // glibc leaves a stream whose buffer is replaced after use looking full until its
  // first flush, which would split the first frame in two writes; a seek to where the
  // stream stands (failing harmlessly on a pipe or terminal) puts it back in order.
  std::fseek(out_stream, 0, SEEK_CUR);
  return true;
}

}  // namespace

void intro_main() {
  in_stream = stdin;
  out_stream = stdout;
  program_start();
  banner_print(program_colours);
  switch (dialogue_run()) {
    case DialogueEnd::answered:
      break;
    case DialogueEnd::end_of_input:
      refuse("standard input ended before the dialogue was answered");
    case DialogueEnd::read_error:
      refuse("cannot read standard input: %s", std::strerror(errno));
  }
  if (int64_t{screen_width} * screen_height > std::numeric_limits<int32_t>::max()) {
    refuse("a %d x %d screen is too large: more than 2147483647 cells",
           static_cast<int>(screen_width), static_cast<int>(screen_height));
  }
  frame_period = 1000000 / fps;
  std::srand(static_cast<unsigned>(std::time(nullptr)));

  Screen* screen = nullptr;
  try {
    screen = screen_create();
  } catch (const std::bad_alloc&) {
    refuse_memory("the cells");
  }
  screen_resize(screen, screen_width, screen_height);
  if (screen->cells.empty()) refuse_memory("the cells");
  if (!buffer_whole_frames(screen)) refuse_memory("the output buffer");
  try {
    scene_setup();
  } catch (const std::bad_alloc&) {
    refuse_memory("the scene");
  }

  for (;;) {
    screen_clear(screen, 32);
    scene_draw();
    screen_print(screen, out_stream);
    program_after_print();
    scene_advance();
    program_end_of_pass();
  }
}
