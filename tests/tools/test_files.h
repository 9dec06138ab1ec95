// Paths of the scores and of the modules the build wrote from them.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace composer_test {

inline const std::string scores_dir = COMPOSER_SCORES;
inline const std::string vantro_score = scores_dir + "/vantro.score";
inline const std::string short_score = scores_dir + "/short.score";
inline const std::string vantro_xm = COMPOSER_VANTRO_XM;
inline const std::string short_xm = COMPOSER_SHORT_XM;

inline std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::uint8_t> read_bytes(const std::string& path)
{
    const std::string text = read_text(path);
    return {text.begin(), text.end()};
}

}  // namespace composer_test
