#include "archive/memfile.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(MemFile, ReadsStopAtTheEnd) {
    uint8_t data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    uint8_t out[16] = {};
    MemFile* f = MemFile_Open(data, 10, 1234);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->userValue, 1234);
    MemFile_Seek(f, 8, 0);
    EXPECT_EQ(MemFile_Read(out, 4, f), 2u);
    EXPECT_EQ(out[0], 8);
    EXPECT_EQ(out[1], 9);
    EXPECT_EQ(f->position, 10u);
    EXPECT_EQ(MemFile_Read(out, 4, f), 0u);

    MemFile_Seek(f, 3, 0);
    EXPECT_EQ(MemFile_Read(out, 7, f), 7u); // exactly what is left
    EXPECT_EQ(memcmp(out, data + 3, 7), 0);
    MemFile_Seek(f, 2, 0);
    EXPECT_EQ(MemFile_Read(out, 0, f), 0u);
    EXPECT_EQ(f->position, 2u);
    MemFile_Close(f);
    MemFile_Close(nullptr);
}

// A count near 2^32 used to wrap the end test and copy past the buffer.
TEST(MemFile, HugeCountsAreClamped) {
    uint8_t data[10] = {};
    uint8_t out[10];
    MemFile* f = MemFile_Open(data, 10, 0);
    MemFile_Seek(f, 4, 0);
    EXPECT_EQ(MemFile_Read(out, 0xFFFFFFFFu, f), 6u);
    MemFile_Seek(f, 4, 0);
    EXPECT_EQ(MemFile_Read(out, 0xFFFFFFFDu, f), 6u);
    MemFile_Seek(f, 4, 0);
    EXPECT_EQ(MemFile_ReadItems(out, 0x10000, 0x10000, f), 6u); // product beyond 32 bits
    MemFile_Close(f);
}

TEST(MemFile, ReadItemsCountsBytes) {
    static uint8_t data[300], out[300];
    MemFile* f = MemFile_Open(data, 300, 0);
    MemFile_Seek(f, 100, 0);
    EXPECT_EQ(MemFile_ReadItems(out, 72, 3, f), 200u);
    MemFile_Close(f);
}

TEST(MemFile, SeeksAreClampedToTheEnd) {
    uint8_t data[100] = {};
    MemFile* f = MemFile_Open(data, 100, 0);
    EXPECT_EQ(MemFile_Seek(f, 1000, 0), f);
    EXPECT_EQ(f->position, 100u);
    MemFile_Seek(f, 0, 2);
    EXPECT_EQ(f->position, 100u);
    MemFile_Seek(f, -10, 2);
    EXPECT_EQ(f->position, 90u);
    MemFile_Seek(f, 5, 1);
    EXPECT_EQ(f->position, 95u);
    MemFile_Seek(f, 30, 5); // unknown origin
    EXPECT_EQ(f->position, 95u);
    MemFile_Seek(f, 30, 256); // taken as 8 bits: origin 0
    EXPECT_EQ(f->position, 30u);
    MemFile_Seek(f, -50, 1); // before the start wraps, lands at the end
    EXPECT_EQ(f->position, 100u);
    MemFile_Seek(f, -200, 2);
    EXPECT_EQ(f->position, 100u);
    MemFile_Close(f);
}
