// The safe replacement of the library: the new file swapped in, the old one kept
// as the backup, and every failure leaving the target as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "store/file_replace.h"
#include "tests/support/test_files.h"

namespace {

using ReplaceWithBackup = InTempDir;

TEST_F(ReplaceWithBackup, SwapsAndKeepsTheOldFileAsBackup)
{
    write_file("target", "old\r\n");
    write_file("temp", "new\r\n");
    write_file("backup", "older\r\n");
    ASSERT_EQ(replace_with_backup((temp_path() + "/target").c_str(), "temp", "backup"), 0);
    EXPECT_EQ(read_file("target"), "new\r\n");
    EXPECT_EQ(read_file("backup"), "old\r\n");
    EXPECT_FALSE(file_exists("temp"));
}

TEST_F(ReplaceWithBackup, EveryFailureLeavesTheTargetAsItWas)
{
    write_file("temp", "new");
    EXPECT_EQ(replace_with_backup("target", "temp", "backup"), -1);   // no target
    EXPECT_FALSE(file_exists("target"));
    EXPECT_EQ(read_file("temp"), "new");
    write_file("target", "old");
    ASSERT_EQ(mkdir("backup", 0755), 0);                              // no backup possible
    EXPECT_EQ(replace_with_backup("target", "temp", "backup"), -1);
    EXPECT_EQ(read_file("target"), "old");
    ASSERT_EQ(rmdir("backup"), 0);
    remove("temp");                                                   // no new file
    EXPECT_EQ(replace_with_backup("target", "temp", "backup"), -1);
    EXPECT_EQ(read_file("target"), "old");
    EXPECT_EQ(read_file("backup"), "old");
}

TEST(FlushToDisk, ReportsAFailedFlush)
{
    FILE* full = fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    fputs("cannot go anywhere", full);
    EXPECT_EQ(flush_to_disk(full), -1);
    fclose(full);
}

}  // namespace
