// The random source of the effects: the C library's rand(), never seeded
// (ZELKOR_Rand: glibc's, in every build).
// Tests may point it at a generator of their own.
#pragma once

extern int (*EffectRand)();
