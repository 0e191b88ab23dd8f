// Tests of the song list file: written byte for byte, read back, hostile inputs.
#include <climits>
#include <cstring>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "shell/shared_state.h"
#include "songlist/songlist_file.h"
#include "store/record.h"
#include "tests/support/fake_ui.h"
#include "tests/support/test_files.h"

namespace {

UiWindow const OWNER = (UiWindow)0x4711;

class SongListFileTest : public InTempDir {
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        reset_shared_state();
        fake_ui_reset();
    }
};

class WriteSongListFile : public SongListFileTest {};
class ReadSongListFile : public SongListFileTest {};

const char* const THREE[] = {"Amazing Grace ", "be thou", " Word "};

void choose_three()
{
    fake_song_list_set(3, THREE);
    state.song_list[0].key_change = 0;
    state.song_list[1].key_change = 3;
    state.song_list[2].key_change = -5;
}

const char THREE_FILE[] =
    ";SONG LIST FILE\r\n"
    "SONG01=Amazing Grace \r\nKEYCHANGE01=0\r\n"
    "SONG02=be thou\r\nKEYCHANGE02=3\r\n"
    "SONG03= Word \r\nKEYCHANGE03=-5\r\n"
    ";END";

void load(const std::string& bytes)
{
    write_file(SONG_LIST_FILE, bytes);
    read_song_list_file(OWNER);
}

std::string row(int i)
{
    return fake_ui.songs[i];
}

}  // namespace

TEST_F(WriteSongListFile, WritesEveryRowByteForByte)
{
    choose_three();
    write_song_list_file(OWNER);
    EXPECT_EQ(read_file(SONG_LIST_FILE), THREE_FILE);
    EXPECT_EQ(state.song_count, 3);
    EXPECT_STREQ(state.song_list[1].title, "be thou");
    EXPECT_EQ(fake_ui.message_count, 0);
}

TEST_F(WriteSongListFile, WritesAnEmptyListAsHeaderAndEnd)
{
    state.song_count = 4;
    write_song_list_file(OWNER);
    EXPECT_EQ(read_file(SONG_LIST_FILE), ";SONG LIST FILE\r\n;END");
    EXPECT_EQ(state.song_count, 0);
}

TEST_F(WriteSongListFile, WritesAtMost30Rows)
{
    const char* titles[40];
    std::string names[40];
    for (int i = 0; i < 40; i++) {
        names[i] = "T" + std::to_string(i + 1);
        titles[i] = names[i].c_str();
    }
    fake_song_list_set(40, titles);
    state.song_list[29].key_change = 12;
    write_song_list_file(OWNER);
    std::string bytes = read_file(SONG_LIST_FILE);
    EXPECT_NE(bytes.find("SONG09=T9\r\nKEYCHANGE09=0\r\nSONG10=T10\r\n"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 32), "SONG30=T30\r\nKEYCHANGE30=12\r\n;END");
    EXPECT_EQ(state.song_count, 30);
}

TEST_F(WriteSongListFile, ReportsAFileThatCannotBeCreated)
{
    ASSERT_EQ(mkdir(SONG_LIST_FILE, 0700), 0);
    choose_three();
    write_song_list_file(OWNER);
    EXPECT_EQ(fake_ui.message_count, 1);
    EXPECT_EQ(fake_ui.message_owner, OWNER);
    EXPECT_STREQ(fake_ui.message_text, "Could Not Save Songlist");
    EXPECT_STREQ(fake_ui.message_caption, "SAVE SONGLIST");
    EXPECT_EQ(state.song_count, 3);
}

TEST_F(WriteSongListFile, ReportsAFailedWrite)
{
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    ASSERT_EQ(symlink("/dev/full", SONG_LIST_FILE), 0);
    choose_three();
    write_song_list_file(OWNER);
    EXPECT_EQ(fake_ui.message_count, 1);
    EXPECT_STREQ(fake_ui.message_text, "Could Not Save Songlist");
    EXPECT_STREQ(fake_ui.message_caption, "SAVE SONGLIST");
}

TEST_F(ReadSongListFile, ReadsBackWhatWasWritten)
{
    choose_three();
    write_song_list_file(OWNER);
    for (int pass = 0; pass < 2; pass++) {
        memset(state.song_list, 0, sizeof state.song_list);
        load(read_file(SONG_LIST_FILE));
        ASSERT_EQ(fake_ui.song_rows, 3);
        EXPECT_EQ(row(0), "AMAZING GRACE");
        EXPECT_EQ(row(1), "BE THOU");
        EXPECT_EQ(row(2), "WORD");    // one leading blank goes with the one after '='
        EXPECT_STREQ(state.song_list[0].title, "AMAZING GRACE");
        EXPECT_EQ(state.song_list[1].key_change, 3);
        EXPECT_EQ(state.song_list[2].key_change, -5);
        EXPECT_EQ(state.song_count, 3);
    }
    EXPECT_EQ(fake_ui.beeps, 6);
    EXPECT_EQ(fake_ui.message_count, 0);
}

TEST_F(ReadSongListFile, ReportsAMissingFileAndKeepsTheRows)
{
    choose_three();
    state.song_count = 3;
    read_song_list_file(OWNER);
    EXPECT_EQ(fake_ui.message_owner, OWNER);
    EXPECT_STREQ(fake_ui.message_text, "Could Not Load Songlist");
    EXPECT_STREQ(fake_ui.message_caption, "LOAD SONGLIST");
    EXPECT_EQ(state.song_count, 0);
    EXPECT_EQ(fake_ui.song_rows, 3);
    EXPECT_EQ(fake_ui.song_resets, 0);
}

TEST_F(ReadSongListFile, TakesTheFieldsAtTheirOffsets)
{
    struct Case { const char* line; int number; const char* title; };
    const Case cases[] = {
        {"SONG01=Grace  ", 1, "GRACE"},
        {"SONG01= Grace", 1, "GRACE"},
        {"SONG01=  Grace", 1, " GRACE"},
        {"SONG1=Grace", 1, "RACE"},       // the title starts at offset 7 whatever stands there
        {"SONG=ABCDEF", 1, "CDEF"},       // no number: song 1
        {"SONG 7=Grace", 7, "GRACE"},
        {"SONG+2=Grace", 2, "GRACE"},
        {"SONG01", 1, ""},
        {"SONG01=", 1, ""},
        {"SONG05=x", 5, "X"},
    };
    for (const Case& c : cases) {
        memset(state.song_list, 0, sizeof state.song_list);
        fake_ui_reset();
        load(std::string(c.line) + "\r\n");
        ASSERT_EQ(fake_ui.song_rows, 1) << c.line;
        EXPECT_EQ(row(0), c.title) << c.line;
        EXPECT_STREQ(state.song_list[c.number - 1].title, c.title) << c.line;
        EXPECT_EQ(state.song_count, c.number) << c.line;
    }
}

TEST_F(ReadSongListFile, ShowsRowsInFileOrderAndFillsTheTableByNumber)
{
    load("SONG03=C\nSONG01=A\nKEYCHANGE03=-2\nother line\n");
    ASSERT_EQ(fake_ui.song_rows, 2);
    EXPECT_EQ(row(0), "C");
    EXPECT_EQ(row(1), "A");
    EXPECT_STREQ(state.song_list[2].title, "C");
    EXPECT_STREQ(state.song_list[0].title, "A");
    EXPECT_EQ(state.song_list[2].key_change, -2);
    EXPECT_EQ(state.song_count, 3);
}

TEST_F(ReadSongListFile, IgnoresNumbersOutsideTheTable)
{
    for (int i = 0; i < SONG_LIST_SIZE; i++) {
        copy_bounded(state.song_list[i].title, TITLE_SIZE, "KEPT");
        state.song_list[i].key_change = 7;
    }
    load("SONG00=zero\nKEYCHANGE00=1\nSONG-5=neg\nKEYCHANGE-5=1\n"
         "SONG31=big\nKEYCHANGE31=1\nSONG99999999999=huge\nKEYCHANGE99999999999=1\n"
         "SONG-99999999999=tiny\nKEYCHANGE99=4\nKEYCHANGE=5\nKEYCHANGE  =5\n");
    EXPECT_EQ(fake_ui.song_rows, 0);
    EXPECT_EQ(fake_ui.song_resets, 1);
    EXPECT_EQ(fake_ui.beeps, 5);
    EXPECT_EQ(state.song_count, 0);
    for (int i = 0; i < SONG_LIST_SIZE; i++) {
        EXPECT_STREQ(state.song_list[i].title, "KEPT") << i;
        EXPECT_EQ(state.song_list[i].key_change, 7) << i;
    }
}

TEST_F(ReadSongListFile, ReadsKeyChangesWithoutOverflow)
{
    struct Case { const char* line; int key; };
    const Case cases[] = {
        {"KEYCHANGE01=-5", -5},
        {"KEYCHANGE01=+4x", 4},
        {"KEYCHANGE01= 13", 13},
        {"KEYCHANGE01=99999999999", INT_MAX},
        {"KEYCHANGE01=-99999999999", INT_MIN},
        {"KEYCHANGE01=2147483647", INT_MAX},
        {"KEYCHANGE01=-2147483648", INT_MIN},
        {"KEYCHANGE01=", 9},                  // no value: the key change stays
        {"KEYCHANGE01=-", 9},
        {"KEYCHANGE01", 9},
        {"KEYCHANGE1=5", 9},                  // the value is read from offset 12
    };
    for (const Case& c : cases) {
        state.song_list[0].key_change = 9;
        load(std::string(c.line) + "\n");
        EXPECT_EQ(state.song_list[0].key_change, c.key) << c.line;
        EXPECT_EQ(fake_ui.song_rows, 0) << c.line;
    }
}

TEST_F(ReadSongListFile, SurvivesHostileFiles)
{
    std::string many;
    for (int i = 1; i <= 1000; i++)
        many += "SONG" + std::to_string(i) + "=T" + std::to_string(i) + "\r\n";
    load(many);
    EXPECT_EQ(fake_ui.beeps, 1000);
    EXPECT_EQ(fake_ui.song_rows, 30);   // SONG1 to SONG9 read their title from offset 7
    EXPECT_EQ(row(29), "T30");
    EXPECT_EQ(state.song_count, 30);

    fake_ui_reset();
    load("SONG01=" + std::string(500, 'a') + "\n");
    EXPECT_EQ(row(0), std::string(79, 'A'));
    EXPECT_EQ(strlen(state.song_list[0].title), 79u);

    const std::string nuls[] = {std::string(4096, '\0'), std::string("\0SONG01=X\n\0\n", 12), ""};
    for (const std::string& bytes : nuls) {
        fake_ui_reset();
        load(bytes);
        EXPECT_EQ(fake_ui.song_resets, 1);
        EXPECT_EQ(fake_ui.song_rows, 0);
        EXPECT_EQ(fake_ui.beeps, 0);
        EXPECT_EQ(state.song_count, 0);
    }
}
