// Bad inputs kept as fixtures (and a few generated large ones) run through every
// reader of the program: each gives a sound result and leaves the files as they were.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <dirent.h>
#include <string>
#include <vector>

#include "shell/shared_state.h"
#include "songlist/songlist_file.h"
#include "store/index.h"
#include "tests/support/fake_ui.h"
#include "tests/support/test_files.h"

namespace {

std::string fixture(const std::string& name)
{
    return read_file((std::string(CANTORIA_FIXTURES) + "/hostile/" + name).c_str());
}

std::vector<std::string> fixtures_ending(const char* ending)
{
    std::vector<std::string> names;
    DIR* dir = opendir((std::string(CANTORIA_FIXTURES) + "/hostile").c_str());
    if (!dir)
        return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() > strlen(ending) && name.substr(name.size() - strlen(ending)) == ending)
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

void expect_sound_song()
{
    ASSERT_GE(state.line_count, 1);
    ASSERT_LE(state.line_count, LINE_ROWS);
    EXPECT_STREQ(state.raw_lines[0], " ");
    for (int i = 0; i < state.line_count; i++) {
        EXPECT_NE(memchr(state.raw_lines[i], 0, LINE_WIDTH), nullptr) << "row " << i;
        EXPECT_EQ(strchr(state.raw_lines[i], '&'), nullptr) << "row " << i;
        EXPECT_STREQ(state.raw_lines[i], state.display_lines[i]) << "row " << i;
    }
}

// Lists the library, then loads every title it listed and one that is missing.
void read_library_every_way(const std::string& bytes)
{
    write_file("songbook.cnr", bytes);
    for (int hidden = 0; hidden <= 1; hidden++) {
        reset_shared_state();
        fake_ui_reset();
        state.show_hidden = hidden;
        fill_title_list(nullptr, "songbook.cnr");
        EXPECT_EQ(fake_ui.title_resets, 1);
        EXPECT_EQ(fake_ui.title_done, 1);
        int listed = fake_ui.title_count < 50 ? fake_ui.title_count : 50;
        std::vector<std::string> titles;
        for (int i = 0; i < listed; i++)
            titles.push_back(fake_title(i));
        titles.push_back("NOT IN THIS LIBRARY");
        for (const std::string& title : titles) {
            copy_bounded(state.current_title, TITLE_SIZE, title.c_str());
            load_song();
            expect_sound_song();
            EXPECT_LE(strlen(state.current_title), (size_t)TITLE_SIZE - 1);
        }
    }
    EXPECT_EQ(read_file("songbook.cnr"), bytes);
}

class HostileLibrary : public InTempDir {};

TEST_F(HostileLibrary, EveryFixtureReadsSoundly)
{
    std::vector<std::string> names = fixtures_ending(".cnr");
    ASSERT_GE(names.size(), 8u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        read_library_every_way(fixture(name));
    }
}

TEST_F(HostileLibrary, EndOfBookMarkerOnTheFirstLineListsNothing)
{
    read_library_every_way(fixture("end-mark-first.cnr"));
    EXPECT_EQ(fake_ui.title_count, 0);
    EXPECT_STREQ(fake_ui.status, "Song Not Found");
}

TEST_F(HostileLibrary, AFiveMegabyteLineIsReadInPieces)
{
    std::string bytes = "::::: BIG :::::\r\n" + std::string(5 * 1024 * 1024, 'x') + "\r\nafter\r\n";
    read_library_every_way(bytes);
    copy_bounded(state.current_title, TITLE_SIZE, "BIG");
    load_song();
    // 5 MB in pieces of 991 characters: far more than the 199 body lines kept
    EXPECT_EQ(state.line_count, LINE_ROWS);
    EXPECT_EQ(strlen(state.raw_lines[1]), 99u);
}

TEST_F(HostileLibrary, TwoHundredThousandTitleLines)
{
    std::string bytes;
    bytes.reserve(200000 * 24);
    char line[64];
    for (int i = 0; i < 200000; i++) {
        snprintf(line, sizeof line, "::::: T%06d :::::\r\n", i);
        bytes += line;
    }
    write_file("songbook.cnr", bytes);
    reset_shared_state();
    fake_ui_reset();
    fill_title_list(nullptr, "songbook.cnr");
    EXPECT_EQ(fake_ui.title_count, 200000);
    EXPECT_STREQ(fake_title(199999), "T199999 ");
    copy_bounded(state.current_title, TITLE_SIZE, "t199999");
    load_song();
    EXPECT_STREQ(fake_ui.status, " ");
    EXPECT_EQ(state.line_count, 1);
    EXPECT_EQ(read_file("songbook.cnr"), bytes);
}

TEST_F(HostileLibrary, ATitleOf500CharactersIsCutToTheTitleBuffer)
{
    read_library_every_way(fixture("long-title.cnr"));
    reset_shared_state();
    fake_ui_reset();
    fill_title_list(nullptr, "songbook.cnr");
    ASSERT_EQ(fake_ui.title_count, 1);
    EXPECT_EQ(strlen(fake_title(0)), 501u);   // listed whole, as it stands
}

class HostileSongList : public InTempDir {
protected:
    void read_list(const std::string& bytes)
    {
        write_file("songlist.txt", bytes);
        reset_shared_state();
        fake_ui_reset();
        read_song_list_file(nullptr);
        EXPECT_GE(state.song_count, 0);
        EXPECT_LE(state.song_count, SONG_LIST_SIZE);
        for (int i = 0; i < SONG_LIST_SIZE; i++)
            EXPECT_NE(memchr(state.song_list[i].title, 0, TITLE_SIZE), nullptr) << "entry " << i;
        EXPECT_LE(fake_ui.song_rows, SONG_LIST_SIZE);
        EXPECT_EQ(read_file("songlist.txt"), bytes);
    }
};

TEST_F(HostileSongList, EveryFixtureReadsSoundly)
{
    std::vector<std::string> names = fixtures_ending(".txt");
    names.push_back("../../../no-such-file");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        read_list(fixture(name));
    }
    read_list(std::string(4096, '\0'));
}

TEST_F(HostileSongList, OddNumbersAreClampedOrIgnored)
{
    read_list(fixture("odd-numbers.txt"));
    // SONG-5, SONG99999999999, SONG00, SONG31 add nothing, but every SONG line beeps
    EXPECT_EQ(fake_ui.beeps, 7);
    ASSERT_EQ(fake_ui.song_rows, 3);
    EXPECT_STREQ(fake_ui.songs[0], "ONE");
    EXPECT_STREQ(fake_ui.songs[1], "TWO");
    EXPECT_STREQ(fake_ui.songs[2], "=THREE");
    EXPECT_EQ(state.song_count, 3);
    EXPECT_EQ(state.song_list[0].key_change, INT_MIN);
    EXPECT_EQ(state.song_list[1].key_change, 2);
    EXPECT_EQ(state.song_list[2].key_change, 0);
}

TEST_F(HostileSongList, AThousandSongLinesFillThirtyEntries)
{
    read_list(fixture("thousand-songs.txt"));
    EXPECT_EQ(fake_ui.beeps, 1000);
    EXPECT_EQ(state.song_count, SONG_LIST_SIZE);
    EXPECT_EQ(fake_ui.song_rows, SONG_LIST_SIZE);
    EXPECT_STREQ(state.song_list[29].title, "TITLE 30");
    EXPECT_EQ(state.song_list[29].key_change, 30 % 25 - 12);
}

TEST_F(HostileSongList, ALongTitleIsCutTo79Characters)
{
    read_list(fixture("long-title.txt"));
    EXPECT_EQ(strlen(state.song_list[0].title), 79u);
    EXPECT_EQ(state.song_list[0].key_change, 2);
}

}

namespace {

class RepeatedSongLines : public InTempDir {};

TEST_F(RepeatedSongLines, TheListBoxNeverGrowsPastThirtyRows)
{
    std::string bytes;
    for (int i = 0; i < 100; i++)
        bytes += "SONG01=AGAIN\r\n";
    write_file("songlist.txt", bytes);
    reset_shared_state();
    fake_ui_reset();
    read_song_list_file(nullptr);
    EXPECT_EQ(fake_ui.beeps, 100);
    EXPECT_EQ(fake_ui.song_rows, SONG_LIST_SIZE);
    EXPECT_EQ(state.song_count, 1);
}

}
