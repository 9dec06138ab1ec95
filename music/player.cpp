#include "music/player.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "intro/loop.h"

MODULE* current_module = nullptr;

namespace {

constexpr char module_path[] = "vantro.xm";
constexpr int module_voices = 4;
constexpr int32_t slice_us = 100000;

// Some drivers (PulseAudio) mix a fixed, small block per MikMod_Update; others mix on
// their own thread (SDL) or fill their device buffer at once (ALSA, OSS). Feeding stops
// when the module's clock is one slice ahead of the wall clock, and after this many
// calls at the most, so that no driver can make a feed spin.
constexpr int max_updates_per_feed = 32;

using Clock = std::chrono::steady_clock;

// Mixing takes a small fraction of the time it mixes. A MikMod_Update that lasts longer
// than half of the sound it added, and longer than this floor (so that drivers whose
// Update mixes nothing never count), has waited for an output that would not take more.
constexpr int64_t blocked_floor_us = 2000;

// Where the playing module's clock and the wall clock were at its first feed; unset
// until then, since a module is started long before it is first fed (the dialogue).
struct FeedReference {
  bool taken = false;
  Clock::time_point wall;
  int64_t song_us = 0;
};
FeedReference reference;

int64_t song_time_us(const MODULE* module) {
  // SDL's driver advances the song on its own thread; read its clock under the lock.
  MikMod_Lock();
  const ULONG units = module->sngtime;  // 1/1024 second each
  MikMod_Unlock();
  return static_cast<int64_t>(units) * 1000000 / 1024;
}

int64_t microseconds_between(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration_cast<std::chrono::microseconds>(to - from).count();
}

MODULE* load_module() { return Player_Load(module_path, module_voices, 0); }

void start_module(MODULE* module) {
  Player_Start(module);
  reference.taken = false;
}

// Mixes until the module has played as long as the wall clock has run since its first
// feed, plus one slice, so the output does not run dry before the next feed.
void feed(int32_t slice) {
  const Clock::time_point now = Clock::now();
  if (!reference.taken) reference = {true, now, song_time_us(current_module)};
  const int64_t due_us = microseconds_between(reference.wall, now) + slice;
  for (int calls = 0; calls < max_updates_per_feed && Player_Active(); ++calls) {
    const int64_t mixed_us = song_time_us(current_module) - reference.song_us;
    if (mixed_us >= due_us) break;
    const Clock::time_point before = Clock::now();
    MikMod_Update();
    const Clock::time_point after = Clock::now();
    const int64_t song_now_us = song_time_us(current_module);
    const int64_t took_us = microseconds_between(before, after);
    if (took_us > blocked_floor_us && 2 * took_us > song_now_us - reference.song_us - mixed_us) {
      // The output is full and made us wait: what it holds now is what is due now.
      // Catching up on the wall clock would only block the frames again (PulseAudio
      // takes no data for over a second after its stream starts).
      reference = {true, after, song_now_us - slice};
      break;
    }
  }
}

void restart() {
  Player_Stop();
  Player_Free(current_module);
  current_module = load_module();
  start_module(current_module);
}

}  // namespace

void music_start() {
  MikMod_RegisterAllDrivers();
  MikMod_RegisterAllLoaders();
  md_mode |= DMODE_SOFT_MUSIC;
  if (MikMod_Init("") != 0) {
    std::fprintf(stderr, "Could not initialize sound\n");
    std::fprintf(stderr, "Reason: %s\n", MikMod_strerror(MikMod_errno));
    // libmikmod 3.3.11 crashes loading a module after a failed initialisation.
    return;
  }
  current_module = load_module();
  if (current_module != nullptr) {
    start_module(current_module);
  } else {
    std::fprintf(stderr, "Could not load module, reason: %s\n", MikMod_strerror(MikMod_errno));
  }
}

void frame_wait() {
  const int32_t slice = std::min(frame_period, slice_us);
  for (int32_t remaining = frame_period; remaining > 0; remaining -= slice) {
    usleep(static_cast<useconds_t>(slice));
    if (current_module == nullptr) continue;
    if (Player_Active()) {
      feed(slice);
    } else {
      restart();
    }
  }
}

void music_stop() {
  if (current_module != nullptr) {
    Player_Stop();
    Player_Free(current_module);
  }
  MikMod_Exit();
}
