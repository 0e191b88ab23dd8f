// The library written at the first run, and what is never written over.
#include <sys/stat.h>

#include "store/new_library.h"
#include "tests/support/test_files.h"

namespace {

using EnsureLibrary = InTempDir;

int ensure_in_child(long) { return ensure_library("songbook.cnr"); }

TEST_F(EnsureLibrary, FirstRunWritesTheExampleLibraryByteForByte)
{
    EXPECT_EQ(ensure_library("songbook.cnr"), LIBRARY_CREATED);
    EXPECT_EQ(read_file("songbook.cnr"), source_file("tests/golden/first_run.cnr"));
    EXPECT_STREQ(new_library_message(LIBRARY_CREATED), "");
    // an existing library, even one that cannot be read, is left alone
    write_file("songbook.cnr", "mine\n");
    EXPECT_EQ(ensure_library("songbook.cnr"), LIBRARY_PRESENT);
    EXPECT_EQ(read_file("songbook.cnr"), "mine\n");
    ASSERT_EQ(mkdir("folder.cnr", 0755), 0);
    NewLibraryResult result = ensure_library("folder.cnr");
    EXPECT_TRUE(result == LIBRARY_UNREADABLE || result == LIBRARY_PRESENT) << result;
    EXPECT_STRNE(new_library_message(LIBRARY_UNREADABLE), "");
}

TEST_F(EnsureLibrary, ALibraryThatCannotBeWrittenWholeIsReportedAndRemoved)
{
    EXPECT_EQ(ensure_library("no-such-folder/songbook.cnr"), LIBRARY_NOT_CREATED);
    EXPECT_STRNE(new_library_message(LIBRARY_NOT_CREATED), "");
    for (long limit : {0L, 100L, 600L}) {
        EXPECT_EQ(run_in_child(ensure_in_child, 0, limit), LIBRARY_NOT_CREATED) << limit;
        EXPECT_FALSE(file_exists("songbook.cnr")) << limit;
    }
}

}  // namespace
