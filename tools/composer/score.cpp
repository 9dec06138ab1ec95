// Score text parser and the song walk shared by the duration and end checks.
#include "score.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <stdexcept>

namespace composer {
namespace {

// Thrown inside the parser only; parse_score turns it into a ParseError.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& message) { throw Failure(message); }

constexpr std::string_view blanks = " \t\r";

std::string_view trim(std::string_view s)
{
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

// A comment is a '#' that starts a token, so sharps like C#4 survive.
std::string_view strip_comment(std::string_view line)
{
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
            return line.substr(0, i);
        }
    }
    return line;
}

std::vector<std::string_view> split_words(std::string_view s)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (true) {
        i = s.find_first_not_of(blanks, i);
        if (i == std::string_view::npos) break;
        const auto end = std::min(s.find_first_of(blanks, i), s.size());
        words.push_back(s.substr(i, end - i));
        i = end;
    }
    return words;
}

std::string quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

int to_int(std::string_view text, int lo, int hi, std::string_view what)
{
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end) {
        fail(std::string(what) + " must be a number, got " + quoted(text));
    }
    if (value < lo || value > hi) {
        fail(std::string(what) + " must be " + std::to_string(lo) + ".." +
             std::to_string(hi) + ", got " + std::to_string(value));
    }
    return value;
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// C-4 -> 49 (XM: 1 + 12 * octave + semitone); nullopt if it is not a note.
std::optional<std::uint8_t> note_value(std::string_view t)
{
    static constexpr std::array<int, 7> semitone{9, 11, 0, 2, 4, 5, 7};  // A..G
    if (t.size() != 3 || t[0] < 'A' || t[0] > 'G' || !is_digit(t[2])) return std::nullopt;
    const bool sharp = t[1] == '#';
    if ((t[1] != '-' && !sharp) || (sharp && (t[0] == 'B' || t[0] == 'E'))) return std::nullopt;
    const int octave = t[2] - '0';
    if (octave > 7) return std::nullopt;
    const int n = semitone[static_cast<std::size_t>(t[0] - 'A')] + (sharp ? 1 : 0);
    return static_cast<std::uint8_t>(1 + 12 * octave + n);
}

struct Parser {
    Score score;
    Pattern* open = nullptr;  // pattern block being read
    int open_line = 0;
    bool have_order = false;
    int line_no = 0;

    void header(std::string_view key, std::string_view rest, const std::vector<std::string_view>& words)
    {
        if (key == "title") {
            if (rest.size() > 20) fail("title is longer than 20 characters");
            score.title = std::string(rest);
        } else if (key == "speed") {
            score.speed = to_int(single_value(words), 1, 31, "speed");
        } else if (key == "bpm") {
            score.bpm = to_int(single_value(words), 32, 255, "bpm");
        } else if (key == "channels") {
            if (!score.patterns.empty()) fail("channels must come before the first pattern");
            score.channels = to_int(single_value(words), 1, 32, "channels");
        } else if (key == "instrument") {
            instrument(words);
        } else if (key == "pattern") {
            pattern(words);
        } else if (key == "order") {
            order(words);
        } else if (key == "end") {
            fail("'end' without a pattern");
        } else {
            fail("unknown keyword " + quoted(key));
        }
    }

    static std::string_view single_value(const std::vector<std::string_view>& words)
    {
        if (words.size() != 2) fail(quoted(words[0]) + " takes exactly one value");
        return words[1];
    }

    void instrument(const std::vector<std::string_view>& words)
    {
        if (words.size() < 4) fail("instrument needs a number, a name and a wave");
        const int number = to_int(words[1], 1, 128, "instrument number");
        const int expected = static_cast<int>(score.instruments.size()) + 1;
        if (number != expected) {
            fail("instrument " + std::to_string(number) + " out of sequence, expected " +
                 std::to_string(expected));
        }
        Voice v;
        if (words[2].size() > 22) fail("instrument name is longer than 22 characters");
        v.name = std::string(words[2]);
        v.wave = wave(words[3]);
        for (std::size_t i = 4; i < words.size(); ++i) {
            const auto eq = words[i].find('=');
            if (eq == std::string_view::npos) fail("expected key=value, got " + quoted(words[i]));
            voice_setting(v, words[i].substr(0, eq), words[i].substr(eq + 1));
        }
        if (v.sustain && *v.sustain >= static_cast<int>(v.envelope.size())) {
            fail("sustain point " + std::to_string(*v.sustain) + " is not an envelope point");
        }
        score.instruments.push_back(std::move(v));
    }

    static Wave wave(std::string_view name)
    {
        struct Named {
            std::string_view name;
            Wave wave;
        };
        static constexpr std::array<Named, 7> waves{{{"pulse", Wave::pulse},
                                                     {"saw", Wave::saw},
                                                     {"triangle", Wave::triangle},
                                                     {"sine", Wave::sine},
                                                     {"kick", Wave::kick},
                                                     {"snare", Wave::snare},
                                                     {"hat", Wave::hat}}};
        for (const auto& w : waves) {
            if (w.name == name) return w.wave;
        }
        fail("unknown wave " + quoted(name));
    }

    static void voice_setting(Voice& v, std::string_view key, std::string_view value)
    {
        if (key == "duty") {
            v.duty = to_int(value, 1, 99, "duty");
        } else if (key == "volume") {
            v.volume = to_int(value, 0, 64, "volume");
        } else if (key == "pan") {
            v.pan = to_int(value, 0, 255, "pan");
        } else if (key == "bits") {
            v.bits = to_int(value, 8, 16, "bits");
            if (v.bits != 8 && v.bits != 16) fail("bits must be 8 or 16");
        } else if (key == "length") {
            v.length_ms = to_int(value, 1, 2000, "length");
        } else if (key == "fadeout") {
            v.fadeout = to_int(value, 0, 0xFFF, "fadeout");
        } else if (key == "sustain") {
            v.sustain = to_int(value, 0, max_envelope_points - 1, "sustain");
        } else if (key == "env") {
            v.envelope = envelope(value);
        } else {
            fail("unknown instrument setting " + quoted(key));
        }
    }

    // env=0:64,4:48,20:0 -- tick:value pairs, ticks rising from 0.
    static std::vector<EnvelopePoint> envelope(std::string_view text)
    {
        std::vector<EnvelopePoint> points;
        while (!text.empty()) {
            const auto comma = std::min(text.find(','), text.size());
            const auto pair = text.substr(0, comma);
            text.remove_prefix(std::min(comma + 1, text.size()));
            const auto colon = pair.find(':');
            if (colon == std::string_view::npos) fail("envelope point " + quoted(pair) + " is not tick:value");
            const int tick = to_int(pair.substr(0, colon), 0, 0xFFFF, "envelope tick");
            const int value = to_int(pair.substr(colon + 1), 0, 64, "envelope value");
            if (points.empty() ? tick != 0 : tick <= points.back().tick) {
                fail("envelope ticks must start at 0 and rise");
            }
            if (points.size() == max_envelope_points) fail("envelope has more than 12 points");
            points.push_back({static_cast<std::uint16_t>(tick), static_cast<std::uint8_t>(value)});
        }
        if (points.size() < 2) fail("envelope needs at least 2 points");
        return points;
    }

    void pattern(const std::vector<std::string_view>& words)
    {
        if (words.size() != 2) fail("pattern takes exactly one name");
        if (find_pattern(words[1])) fail("pattern " + quoted(words[1]) + " defined twice");
        if (score.patterns.size() == 256) fail("more than 256 patterns");
        score.patterns.push_back({std::string(words[1]), 0, {}});
        open = &score.patterns.back();
        open_line = line_no;
    }

    std::optional<int> find_pattern(std::string_view name) const
    {
        for (std::size_t i = 0; i < score.patterns.size(); ++i) {
            if (score.patterns[i].name == name) return static_cast<int>(i);
        }
        return std::nullopt;
    }

    void order(const std::vector<std::string_view>& words)
    {
        if (have_order) fail("second order line");
        if (words.size() < 2) fail("order names no pattern");
        if (words.size() > 257) fail("order is longer than 256 positions");
        for (std::size_t i = 1; i < words.size(); ++i) {
            const auto index = find_pattern(words[i]);
            if (!index) fail("order names unknown pattern " + quoted(words[i]));
            score.order.push_back(*index);
        }
        have_order = true;
    }

    void row(std::string_view line)
    {
        if (open->rows == 256) fail("pattern has more than 256 rows");
        int column = 0;
        while (true) {
            const auto bar = std::min(line.find('|'), line.size());
            if (column == score.channels) fail("row has more than " + std::to_string(score.channels) + " cells");
            open->cells.push_back(cell(line.substr(0, bar)));
            ++column;
            if (bar == line.size()) break;
            line.remove_prefix(bar + 1);
        }
        if (column != score.channels) {
            fail("row has " + std::to_string(column) + " cells, expected " + std::to_string(score.channels));
        }
        ++open->rows;
    }

    // Tokens are told apart by shape: C-4 / === / ... note, 01 instrument,
    // v48 volume (decimal 0..64), A0F effect (type 0-9A-Z, hex parameter).
    Cell cell(std::string_view text) const
    {
        Cell c;
        bool note = false, instrument = false, volume = false, effect = false;
        auto once = [](bool& seen, std::string_view t) {
            if (seen) fail("cell has two tokens of the same kind at " + quoted(t));
            seen = true;
        };
        for (const auto t : split_words(text)) {
            if (t == "..." || t == "===" || note_value(t)) {
                once(note, t);
                c.note = t == "..." ? note_none : t == "===" ? note_off : *note_value(t);
            } else if (t.size() == 2 && is_digit(t[0]) && is_digit(t[1])) {
                once(instrument, t);
                const int n = to_int(t, 1, 128, "instrument");
                if (n > static_cast<int>(score.instruments.size())) {
                    fail("instrument " + std::string(t) + " is not defined (yet)");
                }
                c.instrument = static_cast<std::uint8_t>(n);
            } else if (t.size() == 3 && t[0] == 'v' && is_digit(t[1]) && is_digit(t[2])) {
                once(volume, t);
                c.volume = static_cast<std::uint8_t>(0x10 + to_int(t.substr(1), 0, 64, "volume"));
            } else if (t.size() == 3 && (is_digit(t[0]) || (t[0] >= 'A' && t[0] <= 'Z')) &&
                       hex_digit(t[1]) >= 0 && hex_digit(t[2]) >= 0) {
                once(effect, t);
                c.effect = static_cast<std::uint8_t>(is_digit(t[0]) ? t[0] - '0' : t[0] - 'A' + 10);
                c.param = static_cast<std::uint8_t>(hex_digit(t[1]) * 16 + hex_digit(t[2]));
            } else {
                fail("cannot read cell token " + quoted(t));
            }
        }
        return c;
    }

    void line(std::string_view raw)
    {
        const auto text = trim(strip_comment(raw));
        if (text.empty()) return;
        const auto words = split_words(text);
        if (open) {
            if (words.size() == 1 && words[0] == "end") {
                if (open->rows == 0) fail("pattern " + quoted(open->name) + " has no rows");
                open = nullptr;
            } else {
                row(text);
            }
            return;
        }
        const auto rest = trim(text.substr(words[0].size()));
        header(words[0], rest, words);
    }

    void finish()
    {
        if (open) {
            line_no = open_line;
            fail("pattern " + quoted(open->name) + " has no 'end'");
        }
        if (score.instruments.empty()) fail("score defines no instrument");
        if (!have_order) fail("score has no order line");
    }
};

// Walks the order like the player; calls row_fn(pattern, row, seconds) for
// each row played. Returns false when the song would loop forever.
template <typename RowFn>
bool walk(const Score& score, RowFn row_fn)
{
    const int length = static_cast<int>(score.order.size());
    int speed = score.speed;
    int bpm = score.bpm;
    int pos = 0;
    int row = 0;
    while (pos < length) {
        const Pattern& p = score.patterns[static_cast<std::size_t>(score.order[static_cast<std::size_t>(pos)])];
        if (row >= p.rows) row = 0;
        int next_pos = pos + 1;
        int next_row = 0;
        bool jumped = false;
        for (; row < p.rows; ++row) {
            bool leave = false;
            for (int ch = 0; ch < score.channels; ++ch) {
                const Cell& c = p.cells[static_cast<std::size_t>(row * score.channels + ch)];
                if (c.effect == 0xF && c.param != 0) {
                    (c.param < 0x20 ? speed : bpm) = c.param;
                } else if (c.effect == 0xB) {
                    next_pos = c.param;
                    jumped = true;
                    leave = true;
                } else if (c.effect == 0xD) {
                    next_row = (c.param >> 4) * 10 + (c.param & 0xF);
                    // libmikmod turns a non-zero break on the last position into a restart.
                    if (pos == length - 1 && c.param != 0) return false;
                    leave = true;
                }
            }
            row_fn(p, row, speed * 2.5 / bpm);
            if (leave) break;
        }
        if (jumped && next_pos <= pos) return false;
        pos = next_pos;
        row = next_row;
    }
    return true;
}

}  // namespace

ParseResult parse_score(std::string_view text)
{
    Parser parser;
    try {
        while (!text.empty()) {
            const auto nl = std::min(text.find('\n'), text.size());
            ++parser.line_no;
            parser.line(text.substr(0, nl));
            text.remove_prefix(std::min(nl + 1, text.size()));
        }
        parser.finish();
    } catch (const Failure& f) {
        return {{}, ParseError{parser.line_no, f.what()}};
    }
    return {std::move(parser.score), std::nullopt};
}

std::optional<double> song_duration(const Score& score)
{
    double seconds = 0.0;
    if (!walk(score, [&](const Pattern&, int, double row_seconds) { seconds += row_seconds; })) {
        return std::nullopt;
    }
    return seconds;
}

bool song_ends_released(const Score& score)
{
    std::vector<bool> sounding(static_cast<std::size_t>(score.channels), false);
    const bool ends = walk(score, [&](const Pattern& p, int row, double) {
        for (int ch = 0; ch < score.channels; ++ch) {
            const Cell& c = p.cells[static_cast<std::size_t>(row * score.channels + ch)];
            const bool cut = (c.effect == 0xE && (c.param >> 4) == 0xC) || c.effect == 0x14;
            if (c.note == note_off || cut) {
                sounding[static_cast<std::size_t>(ch)] = false;
            } else if (c.note != note_none) {
                sounding[static_cast<std::size_t>(ch)] = true;
            }
        }
    });
    return ends && std::none_of(sounding.begin(), sounding.end(), [](bool s) { return s; });
}

}  // namespace composer
