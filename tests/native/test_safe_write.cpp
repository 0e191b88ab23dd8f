// The safe writer: a backup that cannot be written whole, read-only files, the program's own names.
#include <sys/stat.h>
#include <unistd.h>

#include "store/book_format.h"
#include "store/safe_write.h"
#include "tests/support/test_files.h"

namespace {

using SafeWriteTest = InTempDir;
using IsOwnFile = InTempDir;

WriteResult write_library(const std::string& bytes)
{
    SafeWrite out;
    if (safe_write_begin(&out, LIBRARY_FILE, TEMP_FILE) != WRITE_OK)
        return out.result;
    safe_write_bytes(&out, bytes.data(), bytes.size());
    return safe_write_commit(&out, BACKUP_FILE);
}

// A full disk while the backup is copied (its working copy on a device that is
// always full): the save fails as "disk full", the library and the earlier
// backup stay exactly as they were, and nothing is left behind.
TEST_F(SafeWriteTest, ABackupThatCannotBeWrittenWholeFailsTheSaveAndKeepsTheOldOne)
{
    write_file(LIBRARY_FILE, "the library");
    write_file(BACKUP_FILE, "the backup before");
    ASSERT_EQ(symlink("/dev/full", BACKUP_FILE ".tmp"), 0);
    EXPECT_EQ(write_library("the new library"), WRITE_DISK_FULL);
    EXPECT_EQ(read_file(LIBRARY_FILE), "the library");
    EXPECT_EQ(read_file(BACKUP_FILE), "the backup before");
    EXPECT_FALSE(file_exists(TEMP_FILE));
    EXPECT_FALSE(file_exists(BACKUP_FILE ".tmp"));
}

// A read-only library leaves no read-only backup, and a read-only backup left by
// hand does not block the next save.
TEST_F(SafeWriteTest, ReadOnlyFilesNeverBlockTheBackup)
{
    write_file(LIBRARY_FILE, "one");
    write_file(BACKUP_FILE, "older");
    chmod(LIBRARY_FILE, 0444);
    chmod(BACKUP_FILE, 0444);
    EXPECT_EQ(write_library("two"), WRITE_OK);
    EXPECT_EQ(read_file(BACKUP_FILE), "one");
    struct stat info;
    ASSERT_EQ(stat(BACKUP_FILE, &info), 0);
    EXPECT_TRUE(info.st_mode & S_IWUSR);
    EXPECT_EQ(write_library("three"), WRITE_OK);
    EXPECT_EQ(read_file(BACKUP_FILE), "two");
}

// is_own_file | path | folder | 1: the song list counts | 1 when it is one of the program's files
TABLE_TEST(IsOwnFile, KnowsTheProgramsFilesInItsFolder, "safe_write", "is_own_file")
{
    return is_own_file(c[0].c_str(), c[1].c_str(), c[2] == "1") ? "1" : "0";
}

}  // namespace
