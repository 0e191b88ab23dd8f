// The song list file: written byte for byte, read back, hostile files (cases in tests/cases/songlist.txt).
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "songlist/songlist_file.h"
#include "store/record.h"
#include "tests/support/test_files.h"

namespace {

using WriteSongListFile = InTempDir;
using ReadSongListFile = InTempDir;

// Entries with the titles of rows ("\n" after each, as the list box holds them) and
// key changes ("a,b,..."), as Save List hands them over; returns their count.
int choose(const std::string& rows, const std::string& keys, SongListEntry* songs)
{
    int count = 0;
    for (size_t at = 0, end; (end = rows.find('\n', at)) != std::string::npos && count < SONG_LIST_SIZE; at = end + 1)
        copy_bounded(songs[count++].title, TITLE_SIZE, rows.substr(at, end - at).c_str());
    const char* p = keys.c_str();
    for (int i = 0; *p && i < SONG_LIST_SIZE; i++, p = strchr(p, ',') ? strchr(p, ',') + 1 : "")
        songs[i].key_change = atoi(p);
    return count;
}

// What a read left: the count and beeps, the rows, and every entry that no longer holds KEPT 7.
std::string described(const SongListRows& rows)
{
    std::string out = "count " + std::to_string(state.song_count) + " beeps " + std::to_string(rows.song_lines) + "\n";
    for (int i = 0; i < rows.count; i++)
        out += "row " + std::string(rows.title[i]) + "\n";
    for (int i = 0; i < SONG_LIST_SIZE; i++) {
        const SongListEntry& e = state.song_list[i];
        if (strcmp(e.title, "KEPT") != 0 || e.key_change != 7)
            out += std::to_string(i + 1) + " " + e.title + " " + std::to_string(e.key_change) + "\n";
    }
    return out;
}

TABLE_TEST(WriteSongListFile, WritesTheFilesOfTheTable, "songlist", "write_song_list_file")
{
    SongListEntry songs[SONG_LIST_SIZE] = {};
    int count = choose(c[0], c[1], songs);
    EXPECT_EQ(write_song_list_file(songs, count), WRITE_OK);
    EXPECT_FALSE(file_exists(SONG_LIST_FILE ".tmp"));
    return read_file(SONG_LIST_FILE);
}

// A failed save names its cause and leaves the list saved before whole.
TEST_F(WriteSongListFile, ReportsAFileItCannotWriteAndKeepsTheOldOne)
{
    SongListEntry songs[SONG_LIST_SIZE] = {};
    int count = choose("A\nB\n", "1,2", songs);
    write_file(SONG_LIST_FILE, "the list before");
    ASSERT_EQ(mkdir(SONG_LIST_FILE ".tmp", 0700), 0);
    EXPECT_EQ(write_song_list_file(songs, count), WRITE_READ_ONLY);
    ASSERT_EQ(rmdir(SONG_LIST_FILE ".tmp"), 0);
    ASSERT_EQ(symlink("/dev/full", SONG_LIST_FILE ".tmp"), 0);   // full at the flush
    EXPECT_EQ(write_song_list_file(songs, count), WRITE_DISK_FULL);
    EXPECT_EQ(read_file(SONG_LIST_FILE), "the list before");
    EXPECT_FALSE(file_exists(SONG_LIST_FILE ".tmp"));
}

TABLE_TEST(ReadSongListFile, ReadsTheFilesOfTheTable, "songlist", "read_song_list_file")
{
    write_file(SONG_LIST_FILE, c[0]);
    reset_shared_state();
    for (SongListEntry& e : state.song_list) {
        copy_bounded(e.title, TITLE_SIZE, "KEPT");
        e.key_change = 7;
    }
    SongListRows rows;
    EXPECT_EQ(read_song_list_file(state.song_list, &state.song_count, &rows), 0);
    return described(rows);
}

TEST_F(ReadSongListFile, SaysAMissingFile)
{
    SongListRows rows;
    state.song_count = 1;
    EXPECT_EQ(read_song_list_file(state.song_list, &state.song_count, &rows), -1);
    EXPECT_EQ(state.song_count, 0);
    EXPECT_EQ(rows.count, 0);
}

}  // namespace
