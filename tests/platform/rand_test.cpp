#include "platform/system.h"

#include <gtest/gtest.h>

#include <cstdlib>

// The web build draws the effects' particles from this copy of glibc's
// rand(); a slip in it shows as different swirls in a browser.
TEST(GlibcRand, FollowsTheLibraryFromItsUnseededState) {
    for (int i = 0; i < 100000; i++) ASSERT_EQ(ZELKOR_GlibcRand(), rand()) << "draw " << i;
}

// A catch-up that goes back to a mark must draw the same numbers again,
// from the library's generator as from our copy.
TEST(Rand, PutBackRepeatsTheSequence) {
    for (auto* rand : {ZELKOR_Rand, ZELKOR_GlibcRand}) {
        auto save = rand == ZELKOR_Rand ? ZELKOR_RandSave : ZELKOR_GlibcRandSave;
        auto restore = rand == ZELKOR_Rand ? ZELKOR_RandRestore : ZELKOR_GlibcRandRestore;
        for (int i = 0; i < 1000; i++) rand();
        ZELKOR_RandState mark;
        save(&mark);
        int first[100];
        for (int& v : first) v = rand();
        for (int round = 0; round < 2; round++) {
            restore(&mark);
            for (int i = 0; i < 100; i++) ASSERT_EQ(rand(), first[i]) << "round " << round;
        }
    }
}
