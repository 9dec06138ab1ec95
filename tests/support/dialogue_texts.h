// The dialogue's texts as the user sees them, written out here independently of the
// code under test.
#pragma once

#include <string>

namespace dialogue_texts {

// The banner as intro_silent prints it, in its two colours.
inline const std::string banner =
    "\x1b[34mQUOX3185 Tarvel Lines.\n"
    "Lines, letters and logos, drawn in nothing but text.\x1b[0m\n\n"
    "\x1b[35mTo end intro press Ctrl-c.\x1b[0m\n\n";
inline const std::string screen_menu =
    "\nSelect your screen:\n"
    "[1] 80x25 Linux, MS-DOS\n"
    "[2] 80x50 little font\n"
    "[3] 80x24 xterm, rxvt\n"
    "[4] 40x24 low res\n"
    "[5] other resolution\n"
    "?";
inline const std::string rate_menu =
    "Select frames per second:\n"
    "[1] 10 fps\n"
    "[2] 20 fps\n"
    "[3] 25 fps\n"
    "[4] 50 fps\n"
    "[5] other fps\n"
    "?";
inline const std::string width_prompt = "Width (columns) ?";
inline const std::string height_prompt = "Height (lines) ?";
inline const std::string rate_prompt = "Frames per second (fps) ?";
inline const std::string wrong_width = "Wrong width.\n";
inline const std::string wrong_height = "Wrong height.\n";
inline const std::string wrong_fps = "Wrong fps.\n";

}  // namespace dialogue_texts
