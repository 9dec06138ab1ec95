#include "intro/loop.h"

// Command-line arguments are ignored.
int main() { intro_main(); }
