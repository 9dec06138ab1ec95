// XM 0x0104 writer: file header, packed patterns, one-sample instruments.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "score.h"
#include "synth.h"

namespace composer {

inline constexpr std::uint32_t xm_header_size = 276;      // counted from offset 60
inline constexpr std::uint32_t xm_instrument_size = 263;  // what FT2 writes
inline constexpr std::uint32_t xm_sample_header_size = 40;

// The packed bytes of one pattern, row-major, without its 9-byte header.
std::vector<std::uint8_t> pack_pattern(const Pattern& pattern, int channels);

// Signed delta coding of XM sample data: 1 byte per point at 8 bits, a
// little-endian word at 16; differences wrap like the file expects.
std::vector<std::uint8_t> delta_encode(std::span<const std::int16_t> points, int bits);
std::vector<std::int16_t> delta_decode(std::span<const std::uint8_t> bytes, int bits);

// The whole module; samples[i] belongs to score.instruments[i].
std::vector<std::uint8_t> write_xm(const Score& score, std::span<const Sample> samples);

}  // namespace composer
