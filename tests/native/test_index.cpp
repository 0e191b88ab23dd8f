// The title index, the song lookup and loading, the markup filter, and hostile
// libraries through all of them (cases in tests/cases/index.txt).
#include <cstring>

#include <gtest/gtest.h>

#include "shell/shared_state.h"
#include "store/index.h"
#include "tests/support/fake_ui.h"
#include "tests/support/test_files.h"

namespace {

class IndexTest : public InTempDir {
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        reset_shared_state();
        fake_ui_reset();
    }
};

// The titles listed, each followed by "\n".
std::string listed(int show_hidden)
{
    fake_ui_reset();
    state.show_hidden = show_hidden;
    fill_title_list(nullptr, LIBRARY_FILE);
    EXPECT_EQ(fake_ui.title_resets + fake_ui.title_done, 2);
    std::string titles;
    for (int i = 0; i < fake_ui.title_count; i++)
        titles += std::string(fake_title(i)) + "\n";
    return titles;
}

// The rows load_song left, each followed by "\n"; every row sound and shown as loaded.
std::string loaded(const std::string& title)
{
    memset(state.raw_lines, 'x', sizeof state.raw_lines);
    state.line_count = LINE_ROWS;
    copy_bounded(state.current_title, TITLE_SIZE, title.c_str());
    load_song();
    EXPECT_GE(state.line_count, 1);
    EXPECT_LE(state.line_count, LINE_ROWS);
    std::string rows;
    for (int i = 0; i < state.line_count && i < LINE_ROWS; i++) {
        EXPECT_NE(memchr(state.raw_lines[i], 0, LINE_WIDTH), nullptr) << "row " << i;
        EXPECT_STREQ(state.display_lines[i], state.raw_lines[i]) << "row " << i;
        rows += std::string(state.raw_lines[i]) + "\n";
    }
    return rows;
}

using FillTitleList = IndexTest;
using FindSong = IndexTest;
using LoadSong = IndexTest;

TEST_F(FillTitleList, ListsTheTitlesAndHeadingsOfTheTable)
{
    for (const Case& c : cases("index", "fill_title_list")) {
        write_file(LIBRARY_FILE, c[0]);
        EXPECT_EQ(listed(0), c[1]) << c[0];
        EXPECT_EQ(listed(1), c[2]) << c[0];
    }
}

TEST_F(FindSong, FindsTheSongsOfTheTable)
{
    for (const Case& c : cases("index", "find_song")) {
        write_file(LIBRARY_FILE, c[0]);
        copy_bounded(state.current_title, TITLE_SIZE, c[1].c_str());
        fake_ui_reset();
        SongFile file;
        ASSERT_EQ(song_file_open(&file, LIBRARY_FILE), 0);
        int found = find_song(&file);
        std::string next = found != 0 ? "Song Not Found" : read_record(&file, state.line_buf) == 0 ? state.line_buf : "<end>";
        song_file_close(&file);
        EXPECT_EQ(std::string(state.current_title), c[2]) << c[0];
        EXPECT_EQ(next, c[3]) << c[0];
        EXPECT_STREQ(fake_ui.status, found == 0 ? " " : "Song Not Found") << c[0];
    }
}

TEST_F(LoadSong, LoadsTheRowsOfTheTable)
{
    for (const Case& c : cases("index", "load_song")) {
        write_file(LIBRARY_FILE, c[0]);
        EXPECT_EQ(loaded(c[1]), c[2]) << c[0];
    }
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

// Each hostile library listed both ways, every title it lists loaded, and a
// missing one; the file is never changed.
TEST_F(LoadSong, ReadsHostileLibrariesSoundly)
{
    std::vector<Case> libraries = cases("index", "hostile");
    std::string big = "::::: BIG :::::\r\n" + std::string(5 * 1024 * 1024, 'x') + "\r\nafter\r\n", many;
    for (int i = 0; i < 200000; i++)
        many += "::::: T" + std::to_string(1000000 + i) + " :::::\r\n";
    libraries.push_back({big});
    libraries.push_back({many});
    for (const Case& c : libraries) {
        write_file(LIBRARY_FILE, c[0]);
        listed(0);
        std::string titles = listed(1) + "NOT IN THIS LIBRARY\n";
        for (size_t at = 0, n = 0; n < 50 && at < titles.size(); n++, at = titles.find('\n', at) + 1) {
            std::string rows = loaded(titles.substr(at, titles.find('\n', at) - at));
            EXPECT_EQ(rows.substr(0, 2), " \n");
            EXPECT_EQ(rows.find('&'), std::string::npos);
        }
        EXPECT_TRUE(read_file(LIBRARY_FILE) == c[0]);
    }
    EXPECT_EQ(fake_ui.title_count, 200000);
    loaded("t1199999");
    EXPECT_STREQ(fake_ui.status, " ");
    // the 5 MB line comes in pieces far beyond the 199 body lines kept
    write_file(LIBRARY_FILE, big);
    EXPECT_EQ(loaded("BIG").size(), 2 + 199 * 100u);
}

TEST(StripMarkup, CleansTheLinesOfTheTable)
{
    for (const Case& c : cases("index", "strip_markup")) {
        copy_bounded(state.line_buf, LINE_BUF_SIZE, c[0].c_str());
        strip_markup();
        EXPECT_EQ(std::string(state.line_buf), c[1]) << c[0];
    }
}

}  // namespace
