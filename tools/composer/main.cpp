// composer SCORE OUT.xm -- turns a score into an XM module.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "score.h"
#include "synth.h"
#include "xm.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: composer SCORE OUT.xm\n";
        return 2;
    }
    const std::string score_path = argv[1];
    const std::string out_path = argv[2];

    std::ifstream in(score_path, std::ios::binary);
    if (!in) {
        std::cerr << score_path << ": cannot read the score\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    const auto parsed = composer::parse_score(text.str());
    if (parsed.error) {
        std::cerr << score_path << ':' << parsed.error->line << ": " << parsed.error->message << '\n';
        return 1;
    }
    const composer::Score& score = parsed.score;

    std::vector<composer::Sample> samples;
    for (const auto& voice : score.instruments) samples.push_back(composer::synthesise(voice));
    const auto bytes = composer::write_xm(score, samples);

    std::ofstream out(out_path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << out_path << ": cannot write the module\n";
        std::remove(out_path.c_str());  // no half-written module for the build to trust
        return 1;
    }

    const auto seconds = composer::song_duration(score);
    std::cout << out_path << ": " << score.order.size() << " positions, ";
    if (seconds) {
        std::cout << *seconds << " s\n";
    } else {
        std::cout << "loops forever\n";
    }
    return 0;
}
