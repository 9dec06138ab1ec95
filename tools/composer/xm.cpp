#include "xm.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace composer {
namespace {

// Appends little-endian fields byte by byte, so host layout never matters.
class Bytes {
public:
    explicit Bytes(std::vector<std::uint8_t>& out) : out_(out) {}

    void u8(std::uint32_t v) { out_.push_back(static_cast<std::uint8_t>(v & 0xFFu)); }
    void u16(std::uint32_t v) { u8(v); u8(v >> 8); }
    void u32(std::uint32_t v) { u16(v); u16(v >> 16); }
    void s8(int v) { u8(static_cast<std::uint8_t>(v)); }  // two's complement by conversion
    void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }

    // Fixed-width text field, cut or padded with `pad`.
    void text(std::string_view s, std::size_t width, std::uint8_t pad = 0)
    {
        const auto n = std::min(s.size(), width);
        out_.insert(out_.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
        out_.insert(out_.end(), width - n, pad);
    }

    void append(std::span<const std::uint8_t> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

private:
    std::vector<std::uint8_t>& out_;
};

void write_pattern(Bytes& b, const Pattern& p, int channels)
{
    const auto packed = pack_pattern(p, channels);
    b.u32(9);  // header length
    b.u8(0);   // packing type
    b.u16(static_cast<std::uint32_t>(p.rows));
    b.u16(static_cast<std::uint32_t>(packed.size()));
    b.append(packed);
}

void write_instrument(Bytes& b, const Voice& v, const Sample& s)
{
    // The loader reads the sample header at header start + this size: keep the
    // fields below summing to exactly 263 bytes.
    b.u32(xm_instrument_size);
    b.text(v.name, 22);
    b.u8(0);  // type
    b.u16(1);  // samples
    b.u32(xm_sample_header_size);
    b.zeros(96);  // every note maps to sample 0

    for (std::size_t i = 0; i < max_envelope_points; ++i) {
        const EnvelopePoint p = i < v.envelope.size() ? v.envelope[i] : EnvelopePoint{};
        b.u16(p.tick);
        b.u16(p.value);
    }
    b.zeros(48);  // panning envelope, unused
    b.u8(static_cast<std::uint32_t>(v.envelope.size()));
    b.u8(0);  // panning points
    b.u8(static_cast<std::uint32_t>(v.sustain.value_or(0)));
    b.zeros(5);  // volume loop start/end, panning sustain/loop
    const std::uint32_t on = v.envelope.empty() ? 0 : 1;
    b.u8(on | (on && v.sustain ? 2 : 0));
    b.u8(0);      // panning envelope type
    b.zeros(4);   // auto-vibrato
    b.u16(static_cast<std::uint32_t>(v.fadeout));
    b.zeros(22);  // reserved

    const std::uint32_t width = s.bits == 16 ? 2 : 1;
    const auto data = delta_encode(s.points, s.bits);
    b.u32(static_cast<std::uint32_t>(data.size()));
    b.u32(s.loop_start * width);
    b.u32(s.loop_length * width);
    b.u8(static_cast<std::uint32_t>(v.volume));
    b.s8(s.finetune);
    b.u8((s.loop_length > 0 ? 1u : 0u) | (s.bits == 16 ? 0x10u : 0u));
    b.u8(static_cast<std::uint32_t>(v.pan));
    b.s8(s.relative_note);
    b.u8(0);  // reserved
    b.text(v.name, 22);
    b.append(data);
}

}  // namespace

std::vector<std::uint8_t> pack_pattern(const Pattern& pattern, int channels)
{
    std::vector<std::uint8_t> out;
    const std::size_t cells = static_cast<std::size_t>(pattern.rows) * static_cast<std::size_t>(channels);
    for (std::size_t i = 0; i < cells && i < pattern.cells.size(); ++i) {
        const Cell& c = pattern.cells[i];
        const std::uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
        std::uint8_t mask = 0;
        for (int f = 0; f < 5; ++f) {
            if (fields[f] != 0) mask = static_cast<std::uint8_t>(mask | (1u << f));
        }
        if (mask == 0x1F) {
            // All five present: the raw cell is a byte shorter than the packed one.
            out.insert(out.end(), std::begin(fields), std::end(fields));
            continue;
        }
        out.push_back(static_cast<std::uint8_t>(0x80u | mask));
        for (int f = 0; f < 5; ++f) {
            if (mask & (1u << f)) out.push_back(fields[f]);
        }
    }
    return out;
}

std::vector<std::uint8_t> delta_encode(std::span<const std::int16_t> points, int bits)
{
    std::vector<std::uint8_t> out;
    out.reserve(points.size() * (bits == 16 ? 2 : 1));
    int previous = 0;
    for (const std::int16_t p : points) {
        const int delta = p - previous;
        previous = p;
        if (bits == 16) {
            const auto word = static_cast<std::uint16_t>(delta);  // wraps modulo 65536
            out.push_back(static_cast<std::uint8_t>(word & 0xFFu));
            out.push_back(static_cast<std::uint8_t>(word >> 8));
        } else {
            out.push_back(static_cast<std::uint8_t>(delta));  // wraps modulo 256
        }
    }
    return out;
}

std::vector<std::int16_t> delta_decode(std::span<const std::uint8_t> bytes, int bits)
{
    std::vector<std::int16_t> out;
    if (bits == 16) {
        std::uint16_t sum = 0;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            sum = static_cast<std::uint16_t>(sum + (bytes[i] | (bytes[i + 1] << 8)));
            out.push_back(static_cast<std::int16_t>(sum));
        }
    } else {
        std::uint8_t sum = 0;
        for (const std::uint8_t b : bytes) {
            sum = static_cast<std::uint8_t>(sum + b);
            out.push_back(static_cast<std::int8_t>(sum));
        }
    }
    return out;
}

std::vector<std::uint8_t> write_xm(const Score& score, std::span<const Sample> samples)
{
    std::vector<std::uint8_t> out;
    Bytes b(out);
    b.text("Extended Module: ", 17);
    b.text(score.title, 20);
    b.u8(0x1A);
    b.text("composer", 20, ' ');
    b.u16(0x0104);
    b.u32(xm_header_size);
    b.u16(static_cast<std::uint32_t>(score.order.size()));
    b.u16(0);  // restart position: the song ends, it never wraps
    b.u16(static_cast<std::uint32_t>(score.channels));
    b.u16(static_cast<std::uint32_t>(score.patterns.size()));
    b.u16(static_cast<std::uint32_t>(score.instruments.size()));
    b.u16(1);  // linear frequency table
    b.u16(static_cast<std::uint32_t>(score.speed));
    b.u16(static_cast<std::uint32_t>(score.bpm));
    for (std::size_t i = 0; i < 256; ++i) {
        b.u8(i < score.order.size() ? static_cast<std::uint32_t>(score.order[i]) : 0);
    }

    for (const Pattern& p : score.patterns) write_pattern(b, p, score.channels);
    for (std::size_t i = 0; i < score.instruments.size() && i < samples.size(); ++i) {
        write_instrument(b, score.instruments[i], samples[i]);
    }
    return out;
}

}  // namespace composer
