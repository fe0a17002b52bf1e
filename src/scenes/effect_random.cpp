#include "scenes/effect_random.h"

#include "platform/system.h"

static int LibraryRand() {
    return ZELKOR_Rand();
}

int (*EffectRand)() = LibraryRand;
