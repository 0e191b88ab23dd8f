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
    state.show_hidden = show_hidden;
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

// A library of "<none>" is no library at all.
void write_library(const std::string& bytes)
{
    bytes == "<none>" ? (void)remove(LIBRARY_FILE) : write_file(LIBRARY_FILE, bytes);
}

TABLE_TEST(FillTitleList, ListsTheTitlesAndHeadingsOfTheTable, "index", "fill_title_list")
{
    write_library(c[0]);
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
    return std::string(state.current_title) + "\n" + next;
}

TABLE_TEST(LoadSong, LoadsTheRowsOfTheTable, "index", "load_song")
{
    write_library(c[0]);
    std::string rows = loaded(c[1]);
    EXPECT_EQ(file_exists(LIBRARY_FILE), c[0] != "<none>") << "a library made by loading";
    return rows;
}

TABLE_TEST(StripMarkup, CleansTheLinesOfTheTable, "index", "strip_markup")
{
    char line[LINE_BUF_SIZE];
    copy_bounded(line, LINE_BUF_SIZE, c[0].c_str());
    strip_markup_text(line);
    return line;
}

}  // namespace
