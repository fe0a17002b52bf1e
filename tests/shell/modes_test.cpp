#include "shell/settings.h"

#include <gtest/gtest.h>

TEST(ModeTable, CollapsesDuplicatesAndDropsSmallOrPaletteModes) {
    DisplayMode table[MODE_TABLE_SIZE] = {};
    int n = 0;
    // 640x480 at 8, 16 and 32 bits, each twice (two refresh rates), then 800x600.
    const uint32_t bits[] = {8, 8, 16, 16, 32, 32};
    for (uint32_t b : bits) n = AddDisplayMode(table, n, b, 640, 480);
    n = AddDisplayMode(table, n, 16, 800, 600);
    n = AddDisplayMode(table, n, 32, 800, 600);
    n = AddDisplayMode(table, n, 32, 600, 480);
    n = AddDisplayMode(table, n, 32, 640, 400);
    ASSERT_EQ(n, 4);
    const DisplayMode expected[] = {{16, 640, 480}, {32, 640, 480}, {16, 800, 600}, {32, 800, 600}};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(table[i].bitsPerPixel, expected[i].bitsPerPixel) << i;
        EXPECT_EQ(table[i].width, expected[i].width) << i;
        EXPECT_EQ(table[i].height, expected[i].height) << i;
    }
}

TEST(ModeTable, NeverStoresBeyondThirtyTwoEntries) {
    DisplayMode table[MODE_TABLE_SIZE + 1] = {};
    int n = 0;
    for (uint32_t w = 640; w < 640 + 40; w++) n = AddDisplayMode(table, n, 32, w, 480);
    EXPECT_EQ(n, MODE_TABLE_SIZE);
    EXPECT_EQ(table[MODE_TABLE_SIZE].width, 0u);
}
