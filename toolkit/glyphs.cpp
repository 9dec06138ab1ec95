#include "toolkit/glyphs.h"

#include <cstddef>
#include <stdexcept>
#include <string_view>

namespace {

constexpr std::size_t picture_width = 5;
constexpr std::size_t row_bytes = picture_width + 2;  // picture, gap, newline
constexpr std::size_t short_glyph_bytes = 5 * row_bytes + 1;
constexpr std::size_t tall_glyph_bytes = 6 * row_bytes;

// One glyph text and its NUL; the bytes after the NUL stay zero.
using GlyphText = std::array<char, tall_glyph_bytes + 1>;

// Turns rows written as "#####/#...#/..." (top to bottom, '.' for a space) into the
// stored text. Malformed rows throw, which stops compilation of the table.
constexpr GlyphText glyph_from_rows(std::string_view rows) {
  GlyphText text{};
  std::size_t out = 0;
  std::size_t row_count = 0;
  std::size_t column = 0;
  for (std::size_t i = 0; i <= rows.size(); ++i) {
    if (i == rows.size() || rows[i] == '/') {
      if (column != picture_width) throw std::logic_error("a glyph row is five characters");
      if (++row_count > 6) throw std::logic_error("a glyph has five or six rows");
      text[out++] = ' ';
      text[out++] = '\n';
      column = 0;
      continue;
    }
    const char c = rows[i];
    if (c != '.' && c != '#' && c != '"' && c != '@') {
      throw std::logic_error("a picture character is '.', '#', '\"' or '@'");
    }
    if (column == picture_width) throw std::logic_error("a glyph row is five characters");
    text[out++] = c == '.' ? ' ' : c;
    ++column;
  }
  if (row_count < 5) throw std::logic_error("a glyph has five or six rows");
  if (row_count == 5) text[out++] = '\n';  // the empty sixth row
  return text;
}

// Low hex digits 0..F in two columns, for codes 0..15 (behind the high digit 0, "##").
constexpr std::array<std::string_view, 16> two_column_digits = {
    "##/##/##/##/##", "#./#./#./#./#.", "##/.#/##/#./##", "##/.#/##/.#/##",
    "##/##/##/.#/.#", "##/#./##/.#/##", "##/#./##/##/##", "##/.#/.#/.#/.#",
    "##/##/../##/##", "##/##/.#/.#/##", "##/##/##/##/##", "##/##/#./##/##",
    "##/#./#./#./##", "#./##/##/##/#.", "##/#./##/#./##", "##/#./##/#./#.",
};

// Low hex digits 0..F in three columns, for codes 16..31 (behind the high digit 1, "#").
constexpr std::array<std::string_view, 16> three_column_digits = {
    "###/#.#/#.#/#.#/###", ".#./.#./.#./.#./.#.", "###/..#/###/#../###",
    "###/..#/###/..#/###", "#.#/#.#/###/..#/..#", "###/#../###/..#/###",
    "###/#../###/#.#/###", "###/..#/..#/..#/..#", "###/#.#/###/#.#/###",
    "###/#.#/###/..#/###", "###/#.#/###/#.#/#.#", "##./#.#/##./#.#/##.",
    ".##/#../#../#../.##", "##./#.#/#.#/#.#/##.", "###/#../##./#../###",
    "###/#../##./#../#..",
};

// Glyph rows for codes 0..31: the high digit, a blank column, the low digit.
constexpr std::array<char, 29> code_rows(std::size_t code) {
  const bool high_one = code >= 16;
  const std::string_view high = high_one ? "#." : "##.";
  const std::string_view low = high_one ? three_column_digits[code - 16] : two_column_digits[code];
  const std::size_t low_width = picture_width - high.size();
  std::array<char, 29> rows{};
  std::size_t out = 0;
  for (std::size_t row = 0; row < 5; ++row) {
    if (row > 0) rows[out++] = '/';
    for (char c : high) rows[out++] = c;
    for (std::size_t i = 0; i < low_width; ++i) rows[out++] = low[row * (low_width + 1) + i];
  }
  return rows;
}

// Codes 32..126, the printable characters.
constexpr std::array<std::string_view, 95> printable_rows = {
    /*  32 ' ' */ "...../...../...../...../.....",
    /*  33 '!' */ "..##./..##./..##./...../..##.",
    /*  34 '"' */ R"(."."./."."./...../...../.....)",
    /*  35 '#' */ ".#.#./#####/.#.#./#####/.#.#.",
    /*  36 '$' */ ".####/#.#../.###./..#.#/####.",
    /*  37 '%' */ "##..#/##.#./..#../.#.##/#..##",
    /*  38 '&' */ "..#../.#.#./.##../#..##/.##.#",
    /*  39 ''' */ "..##./.##../...../...../.....",
    /*  40 '(' */ "..##./.#.../.#.../.#.../..##.",
    /*  41 ')' */ "..##./....#/....#/....#/..##.",
    /*  42 '*' */ "#.#.#/.###./#####/.###./#.#.#",
    /*  43 '+' */ "..#../..#../#####/..#../..#..",
    /*  44 ',' */ "...../...../...../...##/.##..",
    /*  45 '-' */ "...../...../.####/...../.....",
    /*  46 '.' */ "...../...../...../..##./..##.",
    /*  47 '/' */ "....#/...#./..#../.#.../#....",
    /*  48 '0' */ "#####/#...#/#.#.#/#...#/#####",
    /*  49 '1' */ "..#../.##../..#../..#../.###.",
    /*  50 '2' */ "#####/....#/#####/#..../#####",
    /*  51 '3' */ "#####/....#/..###/....#/#####",
    /*  52 '4' */ "#...#/#...#/#####/....#/....#",
    /*  53 '5' */ "#####/#..../#####/....#/#####",
    /*  54 '6' */ "#####/#..../#####/#...#/#####",
    /*  55 '7' */ "#####/....#/....#/....#/....#",
    /*  56 '8' */ "#####/#...#/#####/#...#/#####",
    /*  57 '9' */ "#####/#...#/#####/....#/#####",
    /*  58 ':' */ "...../..##./...../..##./.....",
    /*  59 ';' */ "...../..##./...../..##./.#...",
    /*  60 '<' */ "..#../...#./....#/...#./..#..",
    /*  61 '=' */ "...../.####/...../.####/.....",
    /*  62 '>' */ ".#.../..#../...#./..#../.#...",
    /*  63 '?' */ ".###./#...#/..##./...../..#..",
    /*  64 '@' */ ".@@@./@.@@@/@.@@@/@..../.@@@@",
    /*  65 'A' */ "#####/#...#/#####/#...#/#...#",
    /*  66 'B' */ "####./#...#/####./#...#/####.",
    /*  67 'C' */ ".####/#..../#..../#..../.####",
    /*  68 'D' */ "####./#...#/#...#/#...#/####.",
    /*  69 'E' */ "#####/#..../####./#..../#####",
    /*  70 'F' */ "#####/#..../####./#..../#....",
    /*  71 'G' */ ".####/#..../#.###/#...#/.####",
    /*  72 'H' */ "#...#/#...#/#####/#...#/#...#",
    /*  73 'I' */ "#####/..#../..#../..#../#####",
    /*  74 'J' */ "..###/....#/....#/#...#/.###.",
    /*  75 'K' */ "#...#/#..#./###../#..#./#...#",
    /*  76 'L' */ "#..../#..../#..../#..../#####",
    /*  77 'M' */ "#...#/##.##/#.#.#/#...#/#...#",
    /*  78 'N' */ "#...#/##..#/#.#.#/#..##/#...#",
    /*  79 'O' */ ".###./#...#/#...#/#...#/.###.",
    /*  80 'P' */ "####./#...#/####./#..../#....",
    /*  81 'Q' */ ".###./#...#/#.#.#/#..##/.####",
    /*  82 'R' */ "####./#...#/####./#..#./#...#",
    /*  83 'S' */ ".####/#..../.###./....#/####.",
    /*  84 'T' */ "#####/..#../..#../..#../..#..",
    /*  85 'U' */ "#...#/#...#/#...#/#...#/.###.",
    /*  86 'V' */ "#...#/#...#/#...#/.#.#./..#..",
    /*  87 'W' */ "#...#/#...#/#.#.#/##.##/#...#",
    /*  88 'X' */ "#...#/.#.#./..#../.#.#./#...#",
    /*  89 'Y' */ "#...#/.#.#./..#../..#../..#..",
    /*  90 'Z' */ "#####/...#./..#../.#.../#####",
    /*  91 '[' */ ".###./.#.../.#.../.#.../.###.",
    /*  92 '\' */ "#..../.#.../..#../...#./....#",
    /*  93 ']' */ ".###./...#./...#./...#./.###.",
    /*  94 '^' */ "..#../.#.#./#...#/...../.....",
    /*  95 '_' */ "...../...../...../...../#####",
    /*  96 '`' */ ".##../..##./...../...../.....",
    /*  97 'a' */ "...../.###./#...#/#...#/.####",
    /*  98 'b' */ "#..../#..../####./#...#/####.",
    /*  99 'c' */ "...../.####/#..../#..../.####",
    /* 100 'd' */ "....#/....#/.####/#...#/.####",
    /* 101 'e' */ "...../.###./#####/#..../.####",
    /* 102 'f' */ "...##/..#../.###./..#../..#..",
    /* 103 'g' */ "...../..##./.#..#/..###/....#/.###.",
    /* 104 'h' */ "#..../#..../####./#...#/#...#",
    /* 105 'i' */ "..#../...../..#../..#../.###.",
    /* 106 'j' */ "....#/...../...##/....#/.#..#/..##.",
    /* 107 'k' */ "#..../#.#../##.../#.#../#..#.",
    /* 108 'l' */ "#..../#..../#..../#..../.###.",
    /* 109 'm' */ "...../.#.#./#.#.#/#.#.#/#...#",
    /* 110 'n' */ "...../#.##./##..#/#...#/#...#",
    /* 111 'o' */ "...../.###./#...#/#...#/.###.",
    /* 112 'p' */ "...../###../#..#./###../#..../#....",
    /* 113 'q' */ "...../.###./#..#./.###./...#./...#.",
    /* 114 'r' */ "...../#.##./##..#/#..../#....",
    /* 115 's' */ "...../.###./##.../..##./###..",
    /* 116 't' */ "..#../#####/..#../..#../...##",
    /* 117 'u' */ "...../#...#/#...#/#...#/.###.",
    /* 118 'v' */ "...../#...#/#...#/.#.#./..#..",
    /* 119 'w' */ "...../#...#/#.#.#/#.#.#/.#.#.",
    /* 120 'x' */ "...../#...#/.#.#./.#.#./#...#",
    /* 121 'y' */ "...../#...#/.####/....#/.###.",
    /* 122 'z' */ "...../####./..#../.#.../####.",
    /* 123 '{' */ "..#../.#.../##.../.#.../..#..",
    /* 124 '|' */ "..#../..#../..#../..#../..#..",
    /* 125 '}' */ "..#../...#./...##/...#./..#..",
    /* 126 '~' */ ".#.#./#.#../...../...../.....",
};

// Texts of codes 0..126; code 127 has none.
constexpr std::size_t text_count = 127;

constexpr std::array<GlyphText, text_count> build_glyph_texts() {
  std::array<GlyphText, text_count> texts{};
  for (std::size_t code = 0; code < 32; ++code) {
    const std::array<char, 29> rows = code_rows(code);
    texts[code] = glyph_from_rows(std::string_view(rows.data(), rows.size()));
  }
  for (std::size_t code = 32; code < text_count; ++code) {
    texts[code] = glyph_from_rows(printable_rows[code - 32]);
  }
  return texts;
}

constexpr std::array<GlyphText, text_count> glyph_texts = build_glyph_texts();

constexpr std::size_t text_length(const GlyphText& text) {
  return std::string_view(text.data()).size();
}

constexpr bool has_descender(std::size_t code) {
  return code == 103 || code == 106 || code == 112 || code == 113;
}

constexpr bool lengths_as_expected() {
  for (std::size_t code = 0; code < text_count; ++code) {
    const std::size_t expected = has_descender(code) ? tall_glyph_bytes : short_glyph_bytes;
    if (text_length(glyph_texts[code]) != expected) return false;
  }
  return true;
}

static_assert(printable_rows.size() == 127 - 32);
static_assert(lengths_as_expected(), "five-row glyphs are 36 bytes, the descenders 42");
static_assert(std::string_view(glyph_texts[10].data()) == std::string_view(glyph_texts[0].data()),
              "the two-column shapes of 0 and A are the same block");

constexpr std::array<const char*, glyph_table_count> build_glyph_table() {
  std::array<const char*, glyph_table_count> table{};
  for (std::size_t code = 0; code < text_count; ++code) table[code] = glyph_texts[code].data();
  return table;  // entry 127 stays null
}

}  // namespace

static_assert(text_count + 1 == glyph_table_count);

constexpr std::array<const char*, glyph_table_count> glyph_table = build_glyph_table();
