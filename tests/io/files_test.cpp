// The kit's whole-file read and safe write, on the cases only the kit sees;
// the commands' failed and special-file writes are in safe_write_test.sh.
#include "io/read_file.h"
#include "io/write_file.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

TEST(ReadFile, RegularOnlyRefusesAFifoWithoutBlockingAndTheLimitHolds) {
    ScratchDir dir("read");
    std::string fifo = dir / "sound.mp3", ten = dir / "ten";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::vector<uint8_t> data;
    ZK_Status read = IO_ReadFile(fifo.c_str(), 100, IO_REGULAR_ONLY, &data);
    EXPECT_EQ(ZK_StatusText(read), fifo + ": not a regular file");
    EXPECT_EQ(IO_FopenRead(fifo.c_str(), IO_REGULAR_ONLY, nullptr), nullptr);

    ASSERT_TRUE(WriteBytes(ten, "0123456789", 10));
    EXPECT_FALSE(IO_ReadFile(ten.c_str(), 9, IO_REGULAR_ONLY, &data).ok);
    EXPECT_TRUE(data.empty());
    ASSERT_TRUE(IO_ReadFile(ten.c_str(), 10, IO_REGULAR_ONLY, &data).ok);
    EXPECT_EQ(std::string(data.begin(), data.end()), "0123456789");
}

// Written through a link, the file it names is replaced and keeps its mode;
// the link stays a link, and no temporary file is left beside them.
TEST(WriteFile, ThroughALinkTheTargetIsReplacedAndKeepsItsMode) {
    ScratchDir dir("write");
    std::string target = dir / "target.tga", link = dir / "link.tga";
    ASSERT_TRUE(WriteBytes(target, "old", 3));
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(symlink("target.tga", link.c_str()), 0);
    ASSERT_TRUE(IO_WriteFile(link.c_str(), "new!", 4, 0).ok);
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadText(target), "new!");
    auto entries = std::filesystem::directory_iterator(dir.Path());
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 2);
}
