// The music of `intro`: one XM module played through libmikmod while the frames run,
// fed between frames and started again from its file whenever it has ended.
#pragma once

#include <mikmod.h>

// The module that plays, or null (nothing loaded, or a reload failed).
extern MODULE* current_module;

// Brings up libmikmod with its automatic driver choice and starts "vantro.xm" from the
// current directory. Failures are reported on standard error; the intro goes on silent.
void music_start();

// Waits one frame period in slices of at most 100000 microseconds; after every slice
// it feeds the player, or restarts the module once it has ended.
void frame_wait();

// Stops and releases the module and shuts libmikmod down. Nothing may follow it.
void music_stop();
