// Find: songs by their words (cases in tests/cases/search.txt; fuzz/fuzz_search.cpp
// checks any words over any library against a plain byte-by-byte search).
#include <algorithm>
#include <cstdio>
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
        fill_title_list(nullptr, LIBRARY_FILE);
        for (int i = 0; i < fake_ui.title_count; i++)
            entries.push_back(fake_title(i));
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
