// Controllable stand-ins for rand() in the effect tests. ScriptedRand plays
// back a script of values (then repeats the last) and counts the calls.
#pragma once
#include "scenes/effect_random.h"

#include <cstddef>
#include <vector>

// Points EffectRand at `source` until the object goes.
struct EffectRandSwap {
    explicit EffectRandSwap(int (*source)()) { EffectRand = source; }
    ~EffectRandSwap() { EffectRand = saved; }
    int (*saved)() = EffectRand;
};

struct ScriptedRand {
    static inline std::vector<int> values;
    static inline size_t calls = 0;
    static int Next() {
        int v = values.empty() ? 0 : values[calls < values.size() ? calls : values.size() - 1];
        calls++;
        return v;
    }
    // Installs the script; the destructor puts rand() back.
    explicit ScriptedRand(std::vector<int> script) {
        values = std::move(script);
        calls = 0;
        EffectRand = Next;
    }
    ~ScriptedRand() { EffectRand = saved; }
    int (*saved)() = EffectRand;
};
