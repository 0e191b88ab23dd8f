// The safe replacement of the library, and the first-run library on a disk
// that fills up: every failure leaves the old file as it was.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "store/file_replace.h"
#include "store/new_library.h"
#include "tests/support/test_files.h"

namespace {

class ReplaceWithBackup : public InTempDir {};

TEST_F(ReplaceWithBackup, SwapsAndKeepsTheOldFileAsBackup)
{
    write_file("target", "old\r\n");
    write_file("temp", "new\r\n");
    write_file("backup", "older\r\n");
    std::string target = temp_path() + "/target";
    ASSERT_EQ(replace_with_backup(target.c_str(), "temp", "backup"), 0);
    EXPECT_EQ(read_file("target"), "new\r\n");
    EXPECT_EQ(read_file("backup"), "old\r\n");
    EXPECT_FALSE(file_exists("temp"));
}

TEST_F(ReplaceWithBackup, EveryFailureLeavesTheTargetAsItWas)
{
    // no target to back up
    write_file("temp", "new");
    EXPECT_EQ(replace_with_backup("target", "temp", "backup"), -1);
    EXPECT_FALSE(file_exists("target"));
    EXPECT_EQ(read_file("temp"), "new");
    // the backup cannot be written
    write_file("target", "old");
    ASSERT_EQ(mkdir("backup", 0755), 0);
    EXPECT_EQ(replace_with_backup("target", "temp", "backup"), -1);
    EXPECT_EQ(read_file("target"), "old");
    ASSERT_EQ(rmdir("backup"), 0);
    // the new file is missing: the backup is made, the target stays
    remove("temp");
    EXPECT_EQ(replace_with_backup("target", "temp", "backup"), -1);
    EXPECT_EQ(read_file("target"), "old");
    EXPECT_EQ(read_file("backup"), "old");
}

TEST_F(ReplaceWithBackup, FlushToDiskReportsAFailedFlush)
{
    FILE* full = fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    fputs("cannot go anywhere", full);
    EXPECT_EQ(flush_to_disk(full), -1);
    fclose(full);
}

class EnsureLibraryOnAFullDisk : public InTempDir {};

TEST_F(EnsureLibraryOnAFullDisk, AHalfWrittenLibraryIsRemoved)
{
    for (long limit : {0L, 100L, 600L}) {
        pid_t pid = fork();
        if (pid == 0) {
            signal(SIGXFSZ, SIG_IGN);
            struct rlimit rl = {(rlim_t)limit, (rlim_t)limit};
            setrlimit(RLIMIT_FSIZE, &rl);
            _exit(ensure_library("songbook.cnr"));
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), LIBRARY_NOT_CREATED) << "limit " << limit;
        EXPECT_FALSE(file_exists("songbook.cnr")) << "limit " << limit;
    }
    // with room enough it is written
    EXPECT_EQ(ensure_library("songbook.cnr"), LIBRARY_CREATED);
    EXPECT_EQ(new_library_message(LIBRARY_CREATED)[0], 0);
}

}
