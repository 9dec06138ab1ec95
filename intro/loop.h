// The program entry and its frame loop.
#pragma once

#include <cstdint>

// Microseconds per frame: 1000000 / fps, remainder dropped; 0 above 1000000 fps.
extern int32_t frame_period;

// Binds the streams, runs the dialogue, builds the Screen and the scene, then prints
// frames until the process is interrupted.
[[noreturn]] void intro_main();
