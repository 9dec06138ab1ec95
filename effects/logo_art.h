// The swarm's logo: three rows of six characters, each row ended by a newline.
#pragma once

inline constexpr int logo_art_length = 21;

// Defined once per program: by effects_logo_music for intro, by effects_logo_silent for
// intro_silent.
extern const char logo_art[logo_art_length + 1];
