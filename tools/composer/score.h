// A score: the readable text the composer turns into an XM module.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace composer {

inline constexpr std::uint8_t note_none = 0;
inline constexpr std::uint8_t note_off = 97;  // XM key off
inline constexpr int max_envelope_points = 12;

// One pattern cell, already in XM terms (volume is the raw volume-column byte).
struct Cell {
    std::uint8_t note = note_none;
    std::uint8_t instrument = 0;
    std::uint8_t volume = 0;
    std::uint8_t effect = 0;
    std::uint8_t param = 0;

    friend bool operator==(const Cell&, const Cell&) = default;
};

struct Pattern {
    std::string name;
    int rows = 0;
    std::vector<Cell> cells;  // row-major, rows * channels
};

enum class Wave { pulse, saw, triangle, sine, kick, snare, hat };

struct EnvelopePoint {
    std::uint16_t tick = 0;
    std::uint8_t value = 0;  // 0..64
};

// An instrument as the score describes it; the synth makes its sample.
struct Voice {
    std::string name;
    Wave wave = Wave::pulse;
    int duty = 50;        // pulse high time, percent
    int volume = 64;      // sample default volume 0..64
    int pan = 128;        // 0 left .. 255 right
    int bits = 8;         // 8 or 16
    int length_ms = 200;  // one-shot drums only
    std::vector<EnvelopePoint> envelope;  // empty: no volume envelope
    std::optional<int> sustain;           // envelope point index
    int fadeout = 0;                      // 0..0xFFF
};

struct Score {
    std::string title;
    int speed = 6;
    int bpm = 125;
    int channels = 4;
    std::vector<Voice> instruments;  // instrument n is instruments[n - 1]
    std::vector<Pattern> patterns;
    std::vector<int> order;          // indices into patterns
};

struct ParseError {
    int line = 0;  // 1-based; 0 when the whole score is at fault
    std::string message;
};

struct ParseResult {
    Score score;
    std::optional<ParseError> error;
};

// Never throws on bad text: the first problem comes back in `error`.
ParseResult parse_score(std::string_view text);

// Song length in seconds following the order, Fxx, Bxx and Dxx the way
// libmikmod does; nullopt when the song jumps back and so never ends.
std::optional<double> song_duration(const Score& score);

// True when, playing the order through, each channel's last note event is a
// key off, so nothing keeps sounding once the player stops advancing.
bool song_ends_released(const Score& score);

}  // namespace composer
