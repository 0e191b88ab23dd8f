// The title index, the song lookup and loading, and the markup filter (cases in
// tests/cases/index.txt; fuzz/fuzz_index.cpp reads any library, the hostile
// fixtures among its seeds, through all of them).
#include <cstring>

#include "store/index.h"
#include "tests/support/test_files.h"

namespace {

using FillTitleList = InTempDir;
using FindSong = InTempDir;
using LoadSong = InTempDir;
using StripMarkup = InTempDir;

// The titles listed, each followed by "\n".
std::string listed(int show_hidden)
{
    fake_ui_reset();
    state.show_hidden = show_hidden;
    fill_title_list(nullptr, LIBRARY_FILE);
    EXPECT_EQ(fake_ui.title_resets + fake_ui.title_done, 2);
    return titles_listed();
}

// The rows load_song left, each followed by "\n"; each shown as loaded.
std::string loaded(const std::string& title)
{
    memset(state.raw_lines, 'x', sizeof state.raw_lines);
    state.line_count = LINE_ROWS;
    copy_bounded(state.current_title, TITLE_SIZE, title.c_str());
    load_song();
    std::string rows;
    for (int i = 0; i < state.line_count; i++) {
        EXPECT_STREQ(state.display_lines[i], state.raw_lines[i]) << "row " << i;
        rows += std::string(state.raw_lines[i]) + "\n";
    }
    return rows;
}

TABLE_TEST(FillTitleList, ListsTheTitlesAndHeadingsOfTheTable, "index", "fill_title_list")
{
    write_file(LIBRARY_FILE, c[0]);
    return listed(c[1] == "1");
}

// The title as the lookup leaves it and the record behind the title line.
TABLE_TEST(FindSong, FindsTheSongsOfTheTable, "index", "find_song")
{
    write_file(LIBRARY_FILE, c[0]);
    copy_bounded(state.current_title, TITLE_SIZE, c[1].c_str());
    SongFile file;
    EXPECT_EQ(song_file_open(&file, LIBRARY_FILE), 0);
    int found = find_song(&file);
    std::string next = found ? "Song Not Found" : read_record(&file, state.line_buf) == 0 ? state.line_buf : "<end>";
    song_file_close(&file);
    EXPECT_STREQ(fake_ui.status, found == 0 ? " " : "Song Not Found");
    return std::string(state.current_title) + "\n" + next;
}

TABLE_TEST(LoadSong, LoadsTheRowsOfTheTable, "index", "load_song")
{
    write_file(LIBRARY_FILE, c[0]);
    return loaded(c[1]);
}

TABLE_TEST(StripMarkup, CleansTheLinesOfTheTable, "index", "strip_markup")
{
    copy_bounded(state.line_buf, LINE_BUF_SIZE, c[0].c_str());
    strip_markup();
    return state.line_buf;
}

TEST_F(LoadSong, Keeps199BodyLinesOf99Characters)
{
    std::string library = "::::: Long :::::\n";
    for (int i = 1; i <= 250; i++)
        library += "line " + std::to_string(i) + std::string(150, 'x') + "\n";
    write_file(LIBRARY_FILE, library);
    std::string rows = loaded("long");
    EXPECT_EQ(state.line_count, LINE_ROWS);
    EXPECT_EQ(rows.substr(0, 102), " \nline 1" + std::string(93, 'x') + "\n");
    EXPECT_EQ(rows.substr(rows.size() - 100), "line 199" + std::string(91, 'x') + "\n");
}

TEST_F(LoadSong, WithoutALibraryListsNothingAndFindsNothing)
{
    EXPECT_EQ(listed(0), "");
    EXPECT_EQ(loaded("amazing grace "), " \n");
    EXPECT_STREQ(fake_ui.status, "Song Not Found");
    EXPECT_STREQ(state.current_title, "AMAZING GRACE");
    EXPECT_FALSE(file_exists(LIBRARY_FILE));
}

}  // namespace
