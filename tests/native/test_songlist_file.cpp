// The song list file: written byte for byte, read back, hostile files (cases in tests/cases/songlist.txt).
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "songlist/songlist_file.h"
#include "store/record.h"
#include "tests/support/test_files.h"

namespace {

UiWindow const OWNER = (UiWindow)0x4711;

using WriteSongListFile = InTempDir;
using ReadSongListFile = InTempDir;

// Puts rows ("\n" after each) into the song list box and key changes ("a,b,...") into the table.
void choose(const std::string& rows, const std::string& keys)
{
    for (size_t at = 0, end; (end = rows.find('\n', at)) != std::string::npos; at = end + 1)
        ui_song_list_add(OWNER, rows.substr(at, end - at).c_str());
    const char* p = keys.c_str();
    for (int i = 0; *p && i < SONG_LIST_SIZE; i++, p = strchr(p, ',') ? strchr(p, ',') + 1 : "")
        state.song_list[i].key_change = atoi(p);
}

// What a read left: the count and beeps, the rows, and every entry that no longer holds KEPT 7.
std::string described()
{
    std::string out = "count " + std::to_string(state.song_count) + " beeps " + std::to_string(fake_ui.beeps) + "\n";
    for (int i = 0; i < fake_ui.song_rows; i++)
        out += "row " + std::string(fake_ui.songs[i]) + "\n";
    for (int i = 0; i < SONG_LIST_SIZE; i++) {
        const SongListEntry& e = state.song_list[i];
        if (strcmp(e.title, "KEPT") != 0 || e.key_change != 7)
            out += std::to_string(i + 1) + " " + e.title + " " + std::to_string(e.key_change) + "\n";
    }
    return out;
}

TABLE_TEST(WriteSongListFile, WritesTheFilesOfTheTable, "songlist", "write_song_list_file")
{
    fake_ui_reset();
    choose(c[0], c[1]);
    state.song_count = 7;
    write_song_list_file(OWNER);
    EXPECT_EQ(state.song_count, std::min(fake_ui.song_rows, (int)SONG_LIST_SIZE));
    EXPECT_EQ(fake_ui.message_count, 0);
    return read_file(SONG_LIST_FILE);
}

TEST_F(WriteSongListFile, ReportsAFileItCannotCreateOrFill)
{
    choose("A\nB\n", "1,2");
    ASSERT_EQ(mkdir(SONG_LIST_FILE, 0700), 0);
    write_song_list_file(OWNER);
    EXPECT_EQ(fake_ui.message_count, 1);
    ASSERT_EQ(rmdir(SONG_LIST_FILE), 0);
    ASSERT_EQ(symlink("/dev/full", SONG_LIST_FILE), 0);   // full at the close
    write_song_list_file(OWNER);
    EXPECT_EQ(fake_ui.message_count, 2);
    EXPECT_EQ(fake_ui.message_owner, OWNER);
    EXPECT_STREQ(fake_ui.message_text, "Could Not Save Songlist");
    EXPECT_STREQ(fake_ui.message_caption, "SAVE SONGLIST");
}

TABLE_TEST(ReadSongListFile, ReadsTheFilesOfTheTable, "songlist", "read_song_list_file")
{
    write_file(SONG_LIST_FILE, c[0]);
    reset_shared_state();
    fake_ui_reset();
    for (SongListEntry& e : state.song_list) {
        copy_bounded(e.title, TITLE_SIZE, "KEPT");
        e.key_change = 7;
    }
    read_song_list_file(OWNER);
    EXPECT_EQ(fake_ui.song_resets, 1);   // a write past the table is caught by the ASan run
    return described();
}

TEST_F(ReadSongListFile, ReportsAMissingFileAndKeepsTheRows)
{
    choose("A\n", "");
    state.song_count = 1;
    read_song_list_file(OWNER);
    EXPECT_EQ(fake_ui.message_owner, OWNER);
    EXPECT_STREQ(fake_ui.message_text, "Could Not Load Songlist");
    EXPECT_STREQ(fake_ui.message_caption, "LOAD SONGLIST");
    EXPECT_EQ(state.song_count, 0);
    EXPECT_EQ(fake_ui.song_rows, 1);
}

}  // namespace
