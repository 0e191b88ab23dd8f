// Find: songs by their words (cases in tests/cases/search.txt; fuzz/fuzz_search.cpp
// checks any words over any library against a small model).
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "store/index.h"
#include "store/search.h"
#include "tests/support/test_files.h"

namespace {

using FindSongsByWords = InTempDir;

SearchWork work;
FoundSongs found_songs;

// The title box after a search, sorted as the control sorts it, each entry
// followed by "\n", then the status text. No word lists every title again.
std::string found_by(const std::string& words)
{
    std::vector<std::string> entries;
    if (find_songs_by_words(&work, &found_songs, LIBRARY_FILE, words.c_str()) < 0) {
        entries = title_entries();
    }
    const char* entry = found_songs.list;
    for (int i = 0; i < found_songs.entries; i++, entry += strlen(entry) + 1)
        entries.push_back(entry);
    std::sort(entries.begin(), entries.end());
    std::string box;
    for (const std::string& entry : entries)
        box += entry + "\n";
    return box + found_songs.status;
}

}  // namespace

TABLE_TEST(FindSongsByWords, ListsTheSongsOfTheTable, "search", "find_songs_by_words")
{
    write_file(LIBRARY_FILE, c[0]);
    state.show_hidden = c[1] == "1";
    return found_by(c[2]);
}

TEST_F(FindSongsByWords, FindsNothingInAMissingLibrary)
{
    EXPECT_EQ(found_by("mercy"), "Song Not Found");
}
