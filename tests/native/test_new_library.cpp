// The library written at the first run.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "store/new_library.h"
#include "tests/support/test_files.h"

namespace {

class EnsureLibrary : public InTempDir {};

TEST_F(EnsureLibrary, FirstRunWritesCommentsExampleLineAndTheSong)
{
    EXPECT_EQ(ensure_library("songbook.cnr"), LIBRARY_CREATED);
    std::string bytes = read_file("songbook.cnr");
    // two comment lines, then the plain line, then the title line
    size_t first = bytes.find("\r\n");
    size_t second = bytes.find("\r\n", first + 2);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(bytes[0], ';');
    EXPECT_EQ(bytes[first + 2], ';');
    EXPECT_EQ(bytes.substr(second + 2, 15), "Example Song:\r\n");
    EXPECT_EQ(bytes.substr(second + 17, 6), "::::: ");
    // 23 lines, each ending CR LF, the last one too
    size_t lines = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i++)
        if (bytes[i] == '\r' && bytes[i + 1] == '\n')
            lines++;
    EXPECT_EQ(lines, 23u);
    EXPECT_EQ(bytes.substr(bytes.size() - 13), std::string(11, ' ') + "\r\n");
}

TEST_F(EnsureLibrary, AnExistingLibraryIsLeftAlone)
{
    write_file("songbook.cnr", "mine\n");
    EXPECT_EQ(ensure_library("songbook.cnr"), LIBRARY_PRESENT);
    EXPECT_EQ(read_file("songbook.cnr"), "mine\n");
}

TEST_F(EnsureLibrary, ALibraryThatCannotBeReadIsNeverReplaced)
{
    // a directory of that name cannot be opened as a file, but it exists
    ASSERT_EQ(mkdir("songbook.cnr", 0755), 0);
    NewLibraryResult result = ensure_library("songbook.cnr");
    EXPECT_TRUE(result == LIBRARY_UNREADABLE || result == LIBRARY_PRESENT) << result;
    struct stat st;
    ASSERT_EQ(stat("songbook.cnr", &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_NE(new_library_message(LIBRARY_UNREADABLE)[0], 0);
}

TEST_F(EnsureLibrary, AFolderThatCannotTakeTheLibraryIsReported)
{
    EXPECT_EQ(ensure_library("no-such-folder/songbook.cnr"), LIBRARY_NOT_CREATED);
    EXPECT_NE(new_library_message(LIBRARY_NOT_CREATED)[0], 0);
}

}
