// Sample synthesis: each score voice becomes one XM sample.
#pragma once

#include <cstdint>
#include <vector>

#include "score.h"

namespace composer {

struct Sample {
    std::vector<std::int16_t> points;  // within the range of `bits`
    int bits = 8;
    std::uint32_t loop_start = 0;   // in points
    std::uint32_t loop_length = 0;  // in points, 0 = plays once
    std::int8_t relative_note = 0;
    std::int8_t finetune = 0;
};

// Looped waves are one cycle of this many points; the relative note brings
// pattern note C-4 to 8363 * 4 / 128 = 261.3 Hz (middle C).
inline constexpr int cycle_points = 128;
// Drums are rendered at 4 * 8363 Hz so C-4 plays them at their natural rate.
inline constexpr int drum_rate = 4 * 8363;
inline constexpr std::int8_t four_times_rate = 24;  // semitones

Sample synthesise(const Voice& voice);

}  // namespace composer
