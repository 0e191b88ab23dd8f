// Tests of Find: songs by their words, listed in the title box.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/shared_state.h"
#include "store/index.h"
#include "store/search.h"
#include "tests/support/fake_ui.h"
#include "tests/support/library_gen.h"
#include "tests/support/test_files.h"

namespace {

typedef std::vector<std::string> Rows;

class FindSongsByWords : public InTempDir {
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        reset_shared_state();
        fake_ui_reset();
    }
};

// The title box after the search, sorted as the control sorts it.
Rows title_box()
{
    Rows rows;
    for (int i = 0; i < fake_ui.title_count; i++)
        rows.push_back(fake_title(i));
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Windows-1252: "No\xEBl" is Noël, "\xC9" is É.
const char LIBRARY[] =
    ";a comment line: grace\r\n"
    "Example Song:\r\n"
    "***** Hymns *****\r\n"
    "::::: It Is Well ::::: KEY=xx\r\r\n"
    " \r\n"
    "G        D     Am7  <\r\n"
    "When peace like a river attendeth my way \r\n"
    "It is WELL, WITH my soul \r\n"
    "::::: Grace Song :::::\r\n"
    "Amazing gr\\parace how sweet \r\n"
    "rock&roll \r\n"
    // a '<' past the 99 characters the viewer shows: no marked chord row
    "Farewell la la la la la la la la la la la la la la la la la la la la la la la la la la la la la la la <\r\n"
    "***** Carols *****\r\n"
    "::::: No\xEBl Nouvelet :::::\r\n"
    "Chantons no\xEBl, \xC9" "COUTEZ\r\n"
    "Nowell my soul\r\n"
    "::::: /Secret Psalm :::::\r\n"
    "hidden words\r\n"
    "#*#*#\r\n"
    "::::: After The End :::::\r\n"
    "marker words\r\n";

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

TEST_F(FindSongsByWords, ListsTheSongsHoldingEveryWord)
{
    struct Case {
        const char* words;
        int show_hidden;
        Rows titles;
        const char* status;
        int found;
    };
    const Rows well = {" Hymns ", "It Is Well "};
    const Rows noel = {" Carols ", "No\xEBl Nouvelet "};
    const Rows grace = {" Hymns ", "Grace Song "};
    const Rows none = {};
    const Case cases[] = {
        {"well with", 0, well, "1 found", 1},
        {"WELL, with", 0, well, "1 found", 1},
        {"  well,with!", 0, well, "1 found", 1},
        {"peace soul", 0, well, "1 found", 1},              // words on different lines
        {"welL RIVER attend", 0, well, "1 found", 1},       // part of a word
        {"soul", 0, {" Carols ", " Hymns ", "It Is Well ", "No\xEBl Nouvelet "}, "2 found", 2},
        {"grace", 0, grace, "1 found", 1},                  // the title; not the comment line
        {"amazing grace sweet", 0, grace, "1 found", 1},    // through the markup filter
        {"rockroll", 0, grace, "1 found", 1},
        {"carols", 0, grace, "1 found", 1},                 // a heading line inside a song's lines
        {"farewell", 0, grace, "1 found", 1},
        {"noel ecoutez", 0, noel, "1 found", 1},            // plain letters find accented ones
        {"NO\xCBL \xE9" "coutez", 0, noel, "1 found", 1},   // accented letters find plain ones
        {"Am7", 0, none, "Song Not Found", 0},              // only in a chord row
        {"hymns", 0, none, "Song Not Found", 0},            // a heading before the first title
        {"marker", 0, none, "Song Not Found", 0},           // only behind the end-of-book marker
        {"well zebra", 0, none, "Song Not Found", 0},
        {"hidden", 0, none, "Song Not Found", 0},
        {"hidden words", 1, {" Carols ", "/Secret Psalm "}, "1 found", 1},
        {"secret", 1, {" Carols ", "/Secret Psalm "}, "1 found", 1},
        // more words than the line classes keep a bit for: "river" is the 29th
        {"well well well well well well well well well well well well well well "
         "well well well well well well well well well well well well well well river", 0, well, "1 found", 1},
        // no word at all: every title again
        {" ,.; ", 0, {" Carols ", " Hymns ", "Grace Song ", "It Is Well ", "No\xEBl Nouvelet "}, " ", -1},
    };
    write_file(LIBRARY_FILE, LIBRARY);
    for (const Case& c : cases) {
        fake_ui_reset();
        state.show_hidden = c.show_hidden;
        EXPECT_EQ(find_songs_by_words(nullptr, LIBRARY_FILE, c.words), c.found) << c.words;
        EXPECT_EQ(title_box(), c.titles) << c.words;
        EXPECT_STREQ(fake_ui.status, c.status) << c.words;
        EXPECT_EQ(fake_ui.title_resets, 1) << c.words;
        EXPECT_EQ(fake_ui.title_done, 1) << c.words;
    }
}

TEST_F(FindSongsByWords, ReadsTheLibraryOnce)
{
    write_library_file(LIBRARY_FILE, 1000);
    long size = (long)read_file(LIBRARY_FILE).size();
    // a word in every song, and one in none: every line of every song is read
    for (const char* words : {"mercy", "mercy zebra"}) {
        fake_ui_reset();
        long before = bytes_read_so_far();
        find_songs_by_words(nullptr, LIBRARY_FILE, words);
        long read = bytes_read_so_far() - before;
        EXPECT_GE(read, size) << words;
        EXPECT_LT(read, size + 4096) << words;   // and /proc/self/io itself
    }
    EXPECT_STREQ(fake_ui.status, "Song Not Found");
    fake_ui_reset();
    EXPECT_EQ(find_songs_by_words(nullptr, LIBRARY_FILE, "song 01000"), 1);
    EXPECT_EQ(title_box(), (Rows{"SONG 01000 "}));
    // a missing library: an empty list, nothing found
    remove(LIBRARY_FILE);
    fake_ui_reset();
    EXPECT_EQ(find_songs_by_words(nullptr, LIBRARY_FILE, "mercy"), 0);
    EXPECT_EQ(fake_ui.title_count, 0);
    EXPECT_STREQ(fake_ui.status, "Song Not Found");
}
