#include "platform/system.h"

#include <gtest/gtest.h>

#include <cstdlib>

// The web build draws the effects' particles from this copy of glibc's
// rand(); a slip in it shows as different swirls in a browser.
TEST(GlibcRand, FollowsTheLibraryFromItsUnseededState) {
    for (int i = 0; i < 100000; i++) ASSERT_EQ(ZELKOR_GlibcRand(), rand()) << "draw " << i;
}
