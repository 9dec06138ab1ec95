#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "score.h"
#include "synth.h"
#include "test_files.h"
#include "xm.h"

using namespace composer;
using namespace composer_test;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t le16(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at)
{
    return le16(b, at) | (le16(b, at + 2) << 16);
}

std::string text_at(std::span<const std::uint8_t> b, std::size_t at, std::size_t n)
{
    return {b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + n)};
}

Score parse_ok(std::string_view text)
{
    auto result = parse_score(text);
    EXPECT_FALSE(result.error) << "line " << result.error->line << ": " << result.error->message;
    return result.score;
}

Bytes module_of(const Score& score)
{
    std::vector<Sample> samples;
    for (const auto& v : score.instruments) samples.push_back(synthesise(v));
    return write_xm(score, samples);
}

// Reads packed pattern data back into cells the way the XM loader does;
// nullopt if a cell runs past the data or bytes are left over.
std::optional<std::vector<Cell>> unpack(std::span<const std::uint8_t> data, std::size_t count)
{
    std::vector<Cell> cells;
    std::size_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (at >= data.size()) return std::nullopt;
        std::uint8_t f[5] = {};
        if (data[at] & 0x80) {
            const std::uint8_t mask = data[at++];
            for (int k = 0; k < 5; ++k) {
                if (!(mask & (1 << k))) continue;
                if (at >= data.size()) return std::nullopt;
                f[k] = data[at++];
            }
        } else {
            if (at + 5 > data.size()) return std::nullopt;
            std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), 5, f);
            at += 5;
        }
        cells.push_back({f[0], f[1], f[2], f[3], f[4]});
    }
    if (at != data.size()) return std::nullopt;
    return cells;
}

// Walks a whole module: each pattern's size field must match its packed
// bytes, each instrument and sample header must sit where the loader looks,
// and the last sample must end exactly at the end of the file. The patterns
// read back must be the score's.
void check_layout(const Bytes& xm, const Score& score)
{
    ASSERT_GE(xm.size(), 336u);
    std::size_t at = 60 + le32(xm, 60);
    ASSERT_EQ(le16(xm, 70), score.patterns.size());
    for (const Pattern& p : score.patterns) {
        ASSERT_LE(at + 9, xm.size()) << p.name;
        EXPECT_EQ(le32(xm, at), 9u) << p.name;
        EXPECT_EQ(xm[at + 4], 0) << p.name;
        EXPECT_EQ(le16(xm, at + 5), static_cast<std::uint32_t>(p.rows)) << p.name;
        const std::size_t size = le16(xm, at + 7);
        ASSERT_LE(at + 9 + size, xm.size()) << p.name;
        const auto cells = unpack(std::span(xm).subspan(at + 9, size),
                                  static_cast<std::size_t>(p.rows * score.channels));
        ASSERT_TRUE(cells) << "pattern " << p.name << ": size field does not match its data";
        EXPECT_EQ(*cells, p.cells) << p.name;
        at += 9 + size;
    }
    ASSERT_EQ(le16(xm, 72), score.instruments.size());
    for (const Voice& v : score.instruments) {
        ASSERT_LE(at + xm_instrument_size + xm_sample_header_size, xm.size()) << v.name;
        EXPECT_EQ(le32(xm, at), xm_instrument_size) << v.name;
        EXPECT_EQ(text_at(xm, at + 4, v.name.size()), v.name);
        EXPECT_EQ(le16(xm, at + 27), 1u) << v.name;
        EXPECT_EQ(le32(xm, at + 29), xm_sample_header_size) << v.name;
        EXPECT_EQ(le16(xm, at + 239), static_cast<std::uint32_t>(v.fadeout)) << v.name;
        const std::size_t sample = at + xm_instrument_size;
        const std::uint32_t length = le32(xm, sample);
        EXPECT_LE(le32(xm, sample + 4) + le32(xm, sample + 8), length) << v.name << ": loop past the end";
        EXPECT_EQ(xm[sample + 12], v.volume) << v.name;
        at = sample + xm_sample_header_size + length;
    }
    EXPECT_EQ(at, xm.size()) << "bytes after the last sample, or a sample cut short";
}

constexpr std::string_view two_patterns = R"(title header check
speed 5
bpm 140
instrument 1 beep pulse
pattern a
C-4 01 | ... | ... | ...
end
pattern b
... | ... | ... | ===
end
order a b a
)";

}  // namespace

TEST(XmWriter, HeaderFields)
{
    const Bytes xm = module_of(parse_ok(two_patterns));
    ASSERT_GE(xm.size(), 336u);
    EXPECT_EQ(text_at(xm, 0, 17), "Extended Module: ");
    EXPECT_EQ(text_at(xm, 17, 20), std::string("header check") + std::string(8, '\0'));
    EXPECT_EQ(xm[37], 0x1A);
    EXPECT_EQ(text_at(xm, 38, 20), "composer            ");
    EXPECT_EQ(xm[58], 0x04);
    EXPECT_EQ(xm[59], 0x01);
    EXPECT_EQ(le32(xm, 60), 276u);
    EXPECT_EQ(le16(xm, 64), 3u) << "song length";
    EXPECT_EQ(le16(xm, 66), 0u) << "restart position";
    EXPECT_EQ(le16(xm, 68), 4u) << "channels";
    EXPECT_EQ(le16(xm, 70), 2u) << "patterns";
    EXPECT_EQ(le16(xm, 72), 1u) << "instruments";
    EXPECT_EQ(le16(xm, 74), 1u) << "linear frequency table";
    EXPECT_EQ(le16(xm, 76), 5u) << "speed";
    EXPECT_EQ(le16(xm, 78), 140u) << "bpm";
    EXPECT_EQ(xm[80], 0);
    EXPECT_EQ(xm[81], 1);
    EXPECT_EQ(xm[82], 0);
    EXPECT_TRUE(std::all_of(xm.begin() + 83, xm.begin() + 336, [](std::uint8_t b) { return b == 0; }))
        << "unused order entries must be 0";
}

TEST(XmWriter, LayoutOfWrittenModules)
{
    check_layout(module_of(parse_ok(two_patterns)), parse_ok(two_patterns));
}

// The modules the build wrote, against the scores they came from.
TEST(XmWriter, LayoutOfBuiltModules)
{
    for (const auto& [score_path, xm_path] : {std::pair{vantro_score, vantro_xm}, std::pair{short_score, short_xm}}) {
        SCOPED_TRACE(xm_path);
        const Bytes xm = read_bytes(xm_path);
        const Score score = parse_ok(read_text(score_path));
        ASSERT_FALSE(xm.empty());
        EXPECT_EQ(le16(xm, 64), score.order.size());
        EXPECT_EQ(le16(xm, 68), 4u);
        check_layout(xm, score);
    }
}

TEST(XmWriter, PackedCells)
{
    struct Case {
        const char* what;
        Cell cell;
        Bytes bytes;
    };
    const Case cases[] = {
        {"empty", {}, {0x80}},
        {"note only", {49, 0, 0, 0, 0}, {0x81, 49}},
        {"key off", {note_off, 0, 0, 0, 0}, {0x81, 97}},
        {"note and instrument", {58, 3, 0, 0, 0}, {0x83, 58, 3}},
        {"arpeggio keeps type 0 implicit", {0, 0, 0, 0, 0x37}, {0x90, 0x37}},
        {"volume and effect type", {0, 0, 0x50, 0xC, 0}, {0x8C, 0x50, 0x0C}},
        {"all five fields go raw", {49, 1, 0x40, 0xA, 0x0F}, {49, 1, 0x40, 0x0A, 0x0F}},
    };
    for (const auto& c : cases) {
        Pattern p{"one", 1, {c.cell, {}}};
        Bytes expected = c.bytes;
        expected.push_back(0x80);  // the second channel, empty
        EXPECT_EQ(pack_pattern(p, 2), expected) << c.what;
    }
}

TEST(XmWriter, DeltaCoding)
{
    struct Case {
        int bits;
        std::vector<std::int16_t> points;
        Bytes bytes;
    };
    const Case cases[] = {
        {8, {0, 100, -100}, {0x00, 0x64, 0x38}},  // 100 - (-100) wraps modulo 256
        {8, {127, -128, 127}, {0x7F, 0x01, 0xFF}},
        {16, {0x7FFF, -0x8000, 1}, {0xFF, 0x7F, 0x01, 0x00, 0x01, 0x80}},
        {16, {-2, -2}, {0xFE, 0xFF, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(delta_encode(c.points, c.bits), c.bytes) << c.bits << " bits";
        EXPECT_EQ(delta_decode(c.bytes, c.bits), c.points) << c.bits << " bits";
    }
}

TEST(XmWriter, DeltaRoundTripOfEverySynthesisedSample)
{
    const Score score = parse_ok(read_text(vantro_score));
    for (const Voice& v : score.instruments) {
        const Sample s = synthesise(v);
        const auto bytes = delta_encode(s.points, s.bits);
        EXPECT_EQ(bytes.size(), s.points.size() * (s.bits == 16 ? 2u : 1u)) << v.name;
        EXPECT_EQ(delta_decode(bytes, s.bits), s.points) << v.name;
    }
}

TEST(Synth, SamplesFitTheirDepthAndSound)
{
    const Score score = parse_ok(read_text(vantro_score));
    for (const Voice& v : score.instruments) {
        const Sample s = synthesise(v);
        const int full = s.bits == 16 ? 32767 : 127;
        int peak = 0;
        for (const auto p : s.points) peak = std::max(peak, std::abs(static_cast<int>(p)));
        EXPECT_LE(peak, full) << v.name;
        EXPECT_GT(peak, full / 2) << v.name << " is nearly silent";
        const bool drum = v.wave == Wave::kick || v.wave == Wave::snare || v.wave == Wave::hat;
        if (drum) {
            EXPECT_EQ(s.loop_length, 0u) << v.name << " must play once";
            EXPECT_EQ(s.points.back(), 0) << v.name << " must fade to nothing";
        } else {
            // Pattern note C-4 plays the sample at 8363 Hz shifted by the relative note.
            const double rate = 8363.0 * std::pow(2.0, (s.relative_note + s.finetune / 128.0) / 12.0);
            EXPECT_NEAR(rate / s.loop_length, 261.63, 1.0) << v.name << " C-4 is not middle C";
            EXPECT_EQ(s.loop_start + s.loop_length, s.points.size()) << v.name;
        }
    }
}

TEST(ScoreParser, CellTokens)
{
    struct Case {
        const char* cell;
        Cell expected;
    };
    const Case cases[] = {
        {"...", {}},
        {"===", {note_off, 0, 0, 0, 0}},
        {"C-0", {1, 0, 0, 0, 0}},
        {"C-4 01", {49, 1, 0, 0, 0}},
        {"A-4", {58, 0, 0, 0, 0}},
        {"C#5", {62, 0, 0, 0, 0}},
        {"B-7", {96, 0, 0, 0, 0}},
        {"C-4 01 v40 A0F", {49, 1, 0x10 + 40, 0xA, 0x0F}},
        {"v00", {0, 0, 0x10, 0, 0}},
        {"v64", {0, 0, 0x50, 0, 0}},
        {"... 037", {0, 0, 0, 0, 0x37}},
        {"EC3", {0, 0, 0, 0xE, 0xC3}},
        {"K05", {0, 0, 0, 20, 0x05}},
        {"Z00", {0, 0, 0, 35, 0x00}},
        {"01 C-4", {49, 1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const std::string text = std::string("channels 1\ninstrument 1 x sine\npattern p\n") + c.cell +
                                 " |\nend\norder p\n";
        const auto result = parse_score(text);
        ASSERT_TRUE(result.error) << "'" << c.cell << "' with a second cell on a 1-channel row";
        const auto good = parse_score(std::string("channels 1\ninstrument 1 x sine\npattern p\n") + c.cell +
                                      "\nend\norder p\n");
        ASSERT_FALSE(good.error) << "'" << c.cell << "': " << good.error->message;
        ASSERT_EQ(good.score.patterns[0].cells.size(), 1u);
        EXPECT_EQ(good.score.patterns[0].cells[0], c.expected) << "'" << c.cell << "'";
    }
}

TEST(ScoreParser, ErrorsNameTheLine)
{
    struct Case {
        const char* text;
        int line;
        const char* says;
    };
    const Case cases[] = {
        {"title t\nloudness 3\n", 2, "unknown keyword"},
        {"speed 0\n", 1, "speed must be 1..31"},
        {"speed fast\n", 1, "speed must be a number"},
        {"bpm 300\n", 1, "bpm must be 32..255"},
        {"bpm\n", 1, "exactly one value"},
        {"instrument 2 x sine\n", 1, "out of sequence"},
        {"instrument 1 x organ\n", 1, "unknown wave"},
        {"instrument 1 x pulse duty=0\n", 1, "duty must be 1..99"},
        {"instrument 1 x pulse bits=12\n", 1, "bits must be 8 or 16"},
        {"instrument 1 x pulse colour=red\n", 1, "unknown instrument setting"},
        {"instrument 1 x pulse env=0:64,0:10\n", 1, "rise"},
        {"instrument 1 x pulse env=5:64,9:10\n", 1, "start at 0"},
        {"instrument 1 x pulse env=0:65,9:10\n", 1, "envelope value must be 0..64"},
        {"instrument 1 x pulse env=0:64\n", 1, "at least 2 points"},
        {"instrument 1 x pulse env=0:64,4:32 sustain=2\n", 1, "sustain point 2"},
        {"instrument 1 x sine\npattern p\nC-4 01 | ... | ...\nend\n", 3, "3 cells, expected 4"},
        {"instrument 1 x sine\npattern p\n... | ... | ... | ... | ...\nend\n", 3, "more than 4 cells"},
        {"instrument 1 x sine\npattern p\nH-4 | | |\nend\n", 3, "cannot read cell token 'H-4'"},
        {"instrument 1 x sine\npattern p\nE#4 | | |\nend\n", 3, "'E#4'"},
        {"instrument 1 x sine\npattern p\nC-8 | | |\nend\n", 3, "'C-8'"},
        {"instrument 1 x sine\npattern p\nA0G | | |\nend\n", 3, "'A0G'"},
        {"instrument 1 x sine\npattern p\nv65 | | |\nend\n", 3, "volume must be 0..64"},
        {"instrument 1 x sine\npattern p\n| | C-4 D-4 |\nend\n", 3, "two tokens of the same kind"},
        {"instrument 1 x sine\npattern p\n| 02 | |\nend\n", 3, "instrument 02 is not defined"},
        {"pattern p\nC-4 01 | | |\nend\ninstrument 1 x sine\n", 2, "instrument 01 is not defined"},
        {"instrument 1 x sine\n\npattern p\n| | |\n", 3, "has no 'end'"},
        {"instrument 1 x sine\npattern p\nend\n", 3, "has no rows"},
        {"instrument 1 x sine\npattern p\n| | |\nend\npattern p\n", 5, "defined twice"},
        {"instrument 1 x sine\npattern p\n| | |\nend\nchannels 2\n", 5, "before the first pattern"},
        {"instrument 1 x sine\npattern p\n| | |\nend\norder p q\n", 5, "unknown pattern 'q'"},
        {"instrument 1 x sine\npattern p\n| | |\nend\norder p\norder p\n", 6, "second order line"},
        {"instrument 1 x sine\npattern p\n| | |\nend\n", 4, "no order line"},
        {"pattern p\n... | | |\nend\norder p\n", 4, "no instrument"},
        {"end\n", 1, "without a pattern"},
        {"title this title is far too long\n", 1, "longer than 20"},
    };
    for (const auto& c : cases) {
        const auto result = parse_score(c.text);
        ASSERT_TRUE(result.error) << "accepted:\n" << c.text;
        EXPECT_EQ(result.error->line, c.line) << c.text << "-> " << result.error->message;
        EXPECT_NE(result.error->message.find(c.says), std::string::npos)
            << c.text << "-> " << result.error->message << "\nexpected to say: " << c.says;
    }
}

TEST(ScoreParser, CommentsAndSharps)
{
    const auto score = parse_ok("# a comment\nchannels 1   # trailing\ninstrument 1 x sine\n"
                                "pattern p\nC#4 01 # sharp is a note, this is a comment\nend\norder p\n");
    ASSERT_EQ(score.patterns.size(), 1u);
    ASSERT_EQ(score.patterns[0].rows, 1);
    EXPECT_EQ(score.patterns[0].cells[0].note, 50);
}

TEST(SongLength, BuiltScores)
{
    const Score vantro = parse_ok(read_text(vantro_score));
    const auto vantro_seconds = song_duration(vantro);
    ASSERT_TRUE(vantro_seconds) << "vantro loops forever";
    EXPECT_GE(*vantro_seconds, 30.0);
    EXPECT_LE(*vantro_seconds, 60.0);
    EXPECT_TRUE(song_ends_released(vantro)) << "a vantro channel is still sounding at the end";

    const Score short_score_ = parse_ok(read_text(short_score));
    const auto short_seconds = song_duration(short_score_);
    ASSERT_TRUE(short_seconds);
    EXPECT_NEAR(*short_seconds, 1.92, 1e-9);
    EXPECT_TRUE(song_ends_released(short_score_));
}

// Jumps, breaks and tempo changes the way libmikmod plays them.
TEST(SongLength, FlowEffects)
{
    struct Case {
        const char* what;
        const char* last_row_of_a;  // channel 1 of row 4 of pattern a
        std::optional<double> seconds;
    };
    // Two positions of 4 rows at 0.12 s (speed 6, BPM 125) unless an effect says otherwise.
    const Case cases[] = {
        {"plain", "...", 0.96},
        {"speed 3 on the last row of a", "F03", 0.36 + 0.06 + 4 * 0.06},
        {"BPM 250 on the last row", "FFA", 0.36 + 5 * 6 * 2.5 / 250},
        {"F00 is ignored", "F00", 0.96},
        {"jump back to position 0 never ends", "B00", std::nullopt},
        {"jump past the end ends the song", "B05", 0.48},
        {"break into row 2 of the next", "D02", 0.48 + 0.24},
        {"break to row 0 of the next", "D00", 0.96},
    };
    for (const auto& c : cases) {
        const std::string text = std::string("channels 1\ninstrument 1 x sine\npattern a\nC-4 01\n...\n...\n") +
                                 c.last_row_of_a + "\nend\npattern b\n...\n...\n...\n===\nend\norder a b\n";
        const auto seconds = song_duration(parse_ok(text));
        ASSERT_EQ(seconds.has_value(), c.seconds.has_value()) << c.what;
        if (seconds) {
            EXPECT_NEAR(*seconds, *c.seconds, 1e-9) << c.what;
        }
    }
}

TEST(SongLength, NonZeroBreakOnTheLastPositionRestarts)
{
    const auto score = parse_ok("channels 1\ninstrument 1 x sine\npattern a\nC-4 01\n=== D01\nend\norder a\n");
    EXPECT_FALSE(song_duration(score));
    EXPECT_FALSE(song_ends_released(score));
}

TEST(SongLength, EndsReleased)
{
    struct Case {
        const char* rows;  // two channels
        bool released;
    };
    const Case cases[] = {
        {"C-4 01 | C-4 01\n=== | ===\n", true},
        {"C-4 01 | C-4 01\n=== | ...\n", false},
        {"C-4 01 | C-4 01\n=== | EC2\n", true},
        {"C-4 01 | C-4 01\n=== | K03\n", true},
        {"C-4 01 | ...\n... | C-4 01\n=== | ...\n", false},
        {"... | ...\n... | ...\n", true},  // never played a note
    };
    for (const auto& c : cases) {
        const std::string text = std::string("channels 2\ninstrument 1 x sine\npattern a\n") + c.rows + "end\norder a\n";
        EXPECT_EQ(song_ends_released(parse_ok(text)), c.released) << c.rows;
    }
}
