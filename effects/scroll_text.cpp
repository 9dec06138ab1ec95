#include "effects/scroll_text.h"

namespace {

constexpr bool printable(char c) { return c >= 32 && c <= 126; }

}  // namespace

// Blanks at both ends: the words enter from the right of the widest usual window and
// the Screen runs empty for a while before they start again.
constexpr char scroll_text[scroll_text_length + 1] =
    // 120 spaces
    "                                        "
    "                                        "
    "                                        "
    // the about-text
    "Tarvel Lines - a text-mode intro by QUOX3185.     Welcome to a small show "
    "made of nothing but characters: two fans of lines whose strokes cross and "
    "shimmer in the background, two lines of scrolling text, the upper one waving, "
    "and five little logos chasing one another around the middle of your "
    "terminal.     How are the frames made? Every frame is a plain block of text "
    "lines, printed one after another, exactly as many lines as the screen is "
    "high. There is no cursor addressing, no terminal library and no trick of any "
    "kind once the show is running: the terminal's own scrolling pushes the old "
    "frame up and out of sight while the new one arrives from below, like a strip "
    "of film running through a projector. Each line is built from spaces, dots, "
    "plus signs and letters, and the eye does the rest.     The two fans are made "
    "of straight lines between endpoints that bounce off the edges of the screen. "
    "Every further line starts a few cells away from the last one, so the strokes "
    "fan out, and where the two fans cross they weave patterns that never quite "
    "repeat. The logos follow a looping path of two different lengths, and the "
    "whole dance comes back to its start only after two thousand eight hundred and "
    "forty-two frames. The bottom line of text runs straight along the last row, "
    "while the one above it ripples sideways and bobs up and down, both reading "
    "the very same words.     A few hints if the picture flickers or tears: your "
    "terminal is working hard to keep up with a fresh screen full of text many "
    "times a second. Try a smaller font, so that every frame is drawn faster. "
    "Choose fewer columns and fewer lines at the start, so that every frame "
    "carries fewer characters. Or pick a lower frame rate and give the terminal "
    "time to breathe between two frames. A terminal window that fits the chosen "
    "size exactly looks best of all.     From now on there is no key to press for "
    "more. When you have seen enough, press Ctrl-C and the intro leaves at once, "
    "right where it stands.     Greetings go out to everyone who still loves text "
    "mode: to all who draw pictures with letters and punctuation, to all who keep "
    "a terminal window open on their desk long after the sun has gone down, to all "
    "who know that eighty columns and twenty-five lines are plenty of room for a "
    "little magic, and to you, who read this scroller to its very end. Thank you "
    "for watching, and keep the text flowing.     QUOX3185 Tarvel Lines.     The "
    "text now starts over again from the very beginning. Enjoy!"
    // 100 spaces
    "                                                  "
    "                                                  ";

namespace {

constexpr bool all_printable() {
  for (int32_t i = 0; i < scroll_text_length; ++i) {
    if (!printable(scroll_text[i])) return false;
  }
  return scroll_text[scroll_text_length] == '\0';
}

constexpr int32_t leading_spaces() {
  int32_t n = 0;
  while (n < scroll_text_length && scroll_text[n] == ' ') ++n;
  return n;
}

constexpr int32_t trailing_spaces() {
  int32_t n = 0;
  while (n < scroll_text_length && scroll_text[scroll_text_length - 1 - n] == ' ') ++n;
  return n;
}

}  // namespace

// A literal shorter than the array would be padded with NULs silently; printable()
// rules that out, and rules out a newline as well.
static_assert(all_printable());
static_assert(leading_spaces() == 120);
static_assert(trailing_spaces() == 100);
