#include "synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace composer {
namespace {

constexpr double two_pi = 2.0 * std::numbers::pi;

// Fixed seed: the same score always gives the same bytes.
class Noise {
public:
    double next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state_ = 0x2545F491u;
};

std::vector<double> one_cycle(const Voice& v)
{
    std::vector<double> wave(cycle_points);
    const int high = cycle_points * v.duty / 100;
    for (int i = 0; i < cycle_points; ++i) {
        const double phase = static_cast<double>(i) / cycle_points;
        double s = 0.0;
        switch (v.wave) {
        case Wave::pulse: s = i < high ? 1.0 : -1.0; break;
        case Wave::saw: s = 2.0 * phase - 1.0; break;
        case Wave::triangle: s = phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase; break;
        default: s = std::sin(two_pi * phase); break;
        }
        wave[static_cast<std::size_t>(i)] = s;
    }
    // A narrow pulse has a DC offset that would thump at every note start.
    double mean = 0.0;
    for (const double s : wave) mean += s;
    mean /= cycle_points;
    for (double& s : wave) s -= mean;
    return wave;
}

std::vector<double> drum(const Voice& v)
{
    const auto count = static_cast<std::size_t>(drum_rate * v.length_ms / 1000);
    std::vector<double> out(count);
    Noise noise;
    double phase = 0.0;
    double last_noise = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / drum_rate;
        double s = 0.0;
        switch (v.wave) {
        case Wave::kick: {
            // Sine falling from about 160 Hz to 45 Hz: the thump, then the boom.
            const double freq = 45.0 + 115.0 * std::exp(-t / 0.035);
            phase += two_pi * freq / drum_rate;
            s = std::sin(phase) * std::exp(-t / 0.16);
            break;
        }
        case Wave::snare: {
            const double body = std::sin(two_pi * 185.0 * t) * std::exp(-t / 0.03);
            s = 0.75 * noise.next() * std::exp(-t / 0.07) + 0.5 * body;
            break;
        }
        default: {
            // Differencing white noise tilts it to the top end.
            const double n = noise.next();
            s = 0.5 * (n - last_noise) * std::exp(-t / 0.018);
            last_noise = n;
            break;
        }
        }
        out[i] = s;
    }
    // A short fade so a cut-off tail does not click.
    const std::size_t fade = std::min<std::size_t>(count, drum_rate / 200);
    for (std::size_t i = 0; i < fade; ++i) {
        out[count - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);
    }
    return out;
}

bool is_drum(Wave w) { return w == Wave::kick || w == Wave::snare || w == Wave::hat; }

}  // namespace

Sample synthesise(const Voice& voice)
{
    const std::vector<double> shape = is_drum(voice.wave) ? drum(voice) : one_cycle(voice);

    Sample sample;
    sample.bits = voice.bits;
    sample.relative_note = four_times_rate;
    if (!is_drum(voice.wave)) sample.loop_length = static_cast<std::uint32_t>(shape.size());

    // Scale the loudest point to 90 % of full range, leaving the mix headroom.
    double peak = 0.0;
    for (const double s : shape) peak = std::max(peak, std::abs(s));
    const double full = voice.bits == 16 ? 32767.0 : 127.0;
    const double gain = peak > 0.0 ? 0.9 * full / peak : 0.0;
    sample.points.reserve(shape.size());
    for (const double s : shape) {
        const double v = std::clamp(std::round(s * gain), -full, full);
        sample.points.push_back(static_cast<std::int16_t>(v));
    }
    return sample;
}

}  // namespace composer
