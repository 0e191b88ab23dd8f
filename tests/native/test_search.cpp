// Find: songs by their words (cases in tests/cases/search.txt; fuzz/fuzz_search.cpp
// checks any words over any library against a plain byte-by-byte search).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/shared_state.h"
#include "store/index.h"
#include "store/search.h"
#include "tests/support/fake_ui.h"
#include "tests/support/test_files.h"

namespace {

class FindSongsByWords : public InTempDir {
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        reset_shared_state();
        fake_ui_reset();
    }
};

// The title box after a search, sorted as the control sorts it, each entry
// followed by "\n", then the status text; the count returned must agree.
std::string found_by(const std::string& words)
{
    fake_ui_reset();
    int found = find_songs_by_words(nullptr, LIBRARY_FILE, words.c_str());
    EXPECT_EQ(fake_ui.title_resets + fake_ui.title_done, 2);
    std::vector<std::string> entries;
    for (int i = 0; i < fake_ui.title_count; i++)
        entries.push_back(fake_title(i));
    std::sort(entries.begin(), entries.end());
    std::string box;
    for (const std::string& entry : entries)
        box += entry + "\n";
    std::string status = fake_ui.status;
    EXPECT_EQ(status, found < 0 ? " " : found == 0 ? "Song Not Found" : std::to_string(found) + " found");
    return box + status;
}

// Bytes the process has read through read() so far (Linux).
long bytes_read_so_far()
{
    FILE* f = fopen("/proc/self/io", "r");
    long rchar = -1;
    if (f) {
        if (fscanf(f, "rchar: %ld", &rchar) != 1)
            rchar = -1;
        fclose(f);
    }
    return rchar;
}

}  // namespace

TABLE_TEST(FindSongsByWords, ListsTheSongsOfTheTable, "search", "find_songs_by_words")
{
    write_file(LIBRARY_FILE, c[0]);
    state.show_hidden = c[1] == "1";
    return found_by(c[2]);
}

TEST_F(FindSongsByWords, ReadsTheLibraryOnce)
{
    std::string library = many_songs(1000);
    write_file(LIBRARY_FILE, library);
    // a word in every song, and one in none: every line of every song is read
    for (const char* words : {"mercy", "mercy zebra"}) {
        long before = bytes_read_so_far();
        found_by(words);
        long read = bytes_read_so_far() - before;
        EXPECT_GE(read, (long)library.size()) << words;
        EXPECT_LT(read, (long)library.size() + 4096) << words;   // and /proc/self/io itself
    }
    EXPECT_EQ(found_by("song 1000"), "SONG 1000 \n1 found");
    // a missing library: an empty list, nothing found
    remove(LIBRARY_FILE);
    EXPECT_EQ(found_by("mercy"), "Song Not Found");
}
