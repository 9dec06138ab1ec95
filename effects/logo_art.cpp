#include "effects/logo_art.h"

// The logo's outline is the one thing in the effects that differs between the two
// programs. INTRO_WITH_MUSIC=1 is set for intro (bars top and bottom); intro_silent,
// built without it, gets slanted corners.
#if defined(INTRO_WITH_MUSIC) && INTRO_WITH_MUSIC
constexpr char logo_art[logo_art_length + 1] =
    "|~~~~|\n"
    "|QUOX|\n"
    "|____|\n";
#else
constexpr char logo_art[logo_art_length + 1] =
    "/~~~~\\\n"
    "|QUOX|\n"
    "\\____/\n";
#endif

static_assert(logo_art[logo_art_length - 1] == '\n' && logo_art[logo_art_length] == '\0');
