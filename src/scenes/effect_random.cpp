#include "scenes/effect_random.h"

#include <cstdlib>

static int LibraryRand() {
    return rand();
}

int (*EffectRand)() = LibraryRand;
