// The built modules through the real libmikmod. Only the nosound driver is
// registered, so no sound card is needed; its software mixer still runs, and
// VC_WriteBytes hands us the mixed audio and drives the player tick by tick.
#include <gtest/gtest.h>
#include <mikmod.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "score.h"
#include "test_files.h"

using namespace composer;
using namespace composer_test;

namespace {

// Counts the ticks after which the song is still playing. libmikmod calls the
// player from inside the mixer, so this must not call anything that locks.
MODULE* playing = nullptr;
MikMod_player_t real_tick = nullptr;
long ticks_playing = 0;

void counting_tick()
{
    real_tick();
    if (playing && playing->sngpos < playing->numpos) ++ticks_playing;
}

struct Render {
    long frames = 0;
    double rms = 0.0;
    double peak = 0.0;
};

// Mixes `max_frames` at most, stopping early once the song has ended.
Render render(long max_frames, bool until_end)
{
    std::vector<SBYTE> bytes(4096);
    std::vector<std::int16_t> points(bytes.size() / 2);
    Render r;
    double sum = 0.0;
    long count = 0;
    while (r.frames < max_frames && (!until_end || Player_Active())) {
        const ULONG got = VC_WriteBytes(bytes.data(), static_cast<ULONG>(bytes.size()));
        if (got == 0) break;
        std::memcpy(points.data(), bytes.data(), got);
        for (ULONG i = 0; i < got / 2; ++i) {
            const double v = points[i] / 32768.0;
            sum += v * v;
            r.peak = std::max(r.peak, std::abs(v));
        }
        count += static_cast<long>(got / 2);
        r.frames += static_cast<long>(got / 4);  // 16-bit stereo
    }
    r.rms = count ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
    return r;
}

struct Built {
    std::string xm;
    std::string score;
};

const Built built[] = {{vantro_xm, vantro_score}, {short_xm, short_score}};

class Mikmod : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        MikMod_RegisterDriver(&drv_nos);
        MikMod_RegisterAllLoaders();
        init_failed = MikMod_Init("") != 0;
    }

    static void TearDownTestSuite() { MikMod_Exit(); }

    void SetUp() override
    {
        ASSERT_FALSE(init_failed) << MikMod_strerror(MikMod_errno);
        // The measurements below read the mix as 16-bit stereo, the default mode.
        ASSERT_EQ(md_mode & (DMODE_16BITS | DMODE_STEREO | DMODE_FLOAT), DMODE_16BITS | DMODE_STEREO);
    }

    static inline bool init_failed = false;
};

}  // namespace

TEST_F(Mikmod, LoadsTheBuiltModules)
{
    for (const auto& b : built) {
        SCOPED_TRACE(b.xm);
        const auto parsed = parse_score(read_text(b.score));
        ASSERT_FALSE(parsed.error);
        const Score& score = parsed.score;

        MODULE* m = Player_Load(b.xm.c_str(), 4, 0);
        ASSERT_NE(m, nullptr) << MikMod_strerror(MikMod_errno);
        EXPECT_EQ(m->numchn, 4);
        EXPECT_EQ(m->numpos, score.order.size());
        EXPECT_EQ(m->numpat, score.patterns.size());
        EXPECT_EQ(m->numins, score.instruments.size());
        EXPECT_EQ(m->numsmp, score.instruments.size());
        EXPECT_EQ(m->initspeed, score.speed);
        EXPECT_EQ(m->inittempo, score.bpm);
        EXPECT_TRUE(m->flags & UF_LINEAR);
        EXPECT_TRUE(m->flags & UF_INST);
        EXPECT_EQ(std::string(m->songname), score.title);
        EXPECT_NE(std::string(m->modtype).find("XM format 1.04"), std::string::npos) << m->modtype;
        for (std::size_t i = 0; i < score.order.size(); ++i) {
            EXPECT_EQ(m->positions[i], score.order[i]) << "position " << i;
        }
        // What the intro relies on for Player_Active() to turn false.
        EXPECT_EQ(m->wrap, 0);
        Player_Free(m);
    }
}

TEST_F(Mikmod, PlaysToTheEndOnTimeAndThenFallsSilent)
{
    for (const auto& b : built) {
        SCOPED_TRACE(b.xm);
        const auto parsed = parse_score(read_text(b.score));
        ASSERT_FALSE(parsed.error);
        const auto seconds = song_duration(parsed.score);
        ASSERT_TRUE(seconds);

        MODULE* m = Player_Load(b.xm.c_str(), 4, 0);
        ASSERT_NE(m, nullptr) << MikMod_strerror(MikMod_errno);
        playing = m;
        ticks_playing = 0;
        real_tick = MikMod_RegisterPlayer(counting_tick);
        Player_Start(m);

        const long rate = md_mixfreq;
        const Render song = render(static_cast<long>(2 * *seconds * rate), true);
        const bool ended = !Player_Active();
        const Render tail = render(rate / 2, false);

        Player_Stop();
        MikMod_RegisterPlayer(real_tick);
        playing = nullptr;
        Player_Free(m);

        ASSERT_TRUE(ended) << "still playing after twice its length";
        // Neither score changes the BPM, so the ticks follow from the header.
        EXPECT_EQ(ticks_playing, std::lround(*seconds * parsed.score.bpm / 2.5));
        const double mixed = static_cast<double>(song.frames) / rate;
        EXPECT_NEAR(mixed, *seconds, 0.05 * *seconds);
        EXPECT_GT(song.rms, 0.02) << "too quiet";
        EXPECT_LT(song.peak, 0.95) << "clips";
        EXPECT_LT(tail.peak, 0.001) << "a voice keeps sounding after the end";
    }
}
