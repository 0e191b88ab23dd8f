// Tests of the ChordPro export of a song list, against an expected file, and of its failures.
#include "chordpro/export.h"

#include <sys/stat.h>

#include "layout/service_pages.h"
#include "store/index.h"
#include "tests/support/test_files.h"
#include "transpose/transpose.h"

namespace {

using ExportSongList = InTempDir;
SongListEntry songs[SONG_LIST_SIZE];

// The home dialog's list as service.cho expects it: a title chosen from the title
// box (trailing blank), typed ones, one behind the end-of-book marker, and key
// changes as Run would leave them (13 counts as 0).
int read_list()
{
    write_file(LIBRARY_FILE, source_file("tests/golden/service.cnr"));
    const char titles[][TITLE_SIZE] = {"Morning Song ", "caf\xe9 \x80uro", "Not In The Book", "after the end",
                                       "Third Song"};
    const int keys[] = {2, 13, -3, 0, -1};
    for (int i = 0; i < 5; i++)
        state.song_list[i].key_change = keys[i];
    return make_service(titles, 5, state.song_list, songs);
}

// Chords at their syllables, grown chords, chords past the words' end, chord rows
// with no words beneath, Windows-1252 letters as UTF-8, songs not found; and the
// viewer's song, its title and the status text are left as they were.
TEST_F(ExportSongList, WritesTheExpectedChordProAndLeavesTheViewerAlone)
{
    copy_bounded(state.current_title, TITLE_SIZE, "VIEWER SONG");
    copy_bounded(state.raw_lines[1], LINE_WIDTH, "G <");
    copy_bounded(state.display_lines[1], LINE_WIDTH, "A  ");
    state.line_count = 2;
    ASSERT_EQ(read_list(), 5);
    EXPECT_EQ(songs[1].key_change, 0);
    EXPECT_EQ(state.song_list[1].key_change, 13);
    ASSERT_EQ(export_song_list(songs, 5, "service.cho"), 0);
    EXPECT_EQ(read_file("service.cho"), source_file("tests/golden/service.cho"));
    EXPECT_FALSE(file_exists("service.cho.tmp"));
    EXPECT_STREQ(state.current_title, "VIEWER SONG");
    EXPECT_STREQ(state.raw_lines[1], "G <");
    EXPECT_STREQ(state.display_lines[1], "A  ");
    EXPECT_EQ(state.line_count, 2);
    EXPECT_STREQ(fake_ui.status, "");
}

// The rows a song of the list prints with are those the viewer paints in Run,
// whether its place in the library is known, not known, or out of date.
TEST_F(ExportSongList, PrintedSongIsTheViewersSongInItsKey)
{
    int count = read_list();
    long title_at[SONG_LIST_SIZE];
    find_titles(songs, count, title_at);
    EXPECT_TRUE(title_at[0] > 0 && title_at[1] > 0 && title_at[4] > 0);
    EXPECT_TRUE(title_at[2] == -1 && title_at[3] == -1);
    static SongLines lines;
    for (int i : {0, 4}) {
        copy_bounded(state.current_title, TITLE_SIZE, songs[i].title);
        load_song();
        transpose_song(songs[i].key_change);
        for (long at : {title_at[i], -1L, title_at[1], 7L}) {
            EXPECT_EQ(load_service_song(&songs[i], at, &lines), 0);
            ASSERT_EQ(lines.count, state.line_count);
            for (int row = 0; row < lines.count; row++)
                EXPECT_STREQ(lines.shown[row], state.display_lines[row]) << "song " << i << " at " << at;
        }
    }
    EXPECT_EQ(load_service_song(&songs[2], title_at[2], &lines), -1);
    ASSERT_EQ(lines.count, 2);
    EXPECT_STREQ(lines.shown[1], "Song Not Found");
}

int export_in_child(long count) { return export_song_list(songs, (int)count, "full.cho") == 0 ? 0 : 1; }

// A disk that fills, a target that cannot be replaced, a folder that is not
// there: no success, the chosen name as it was, no temporary file left.
TEST_F(ExportSongList, FailureLeavesTheChosenNameAsItWas)
{
    int count = read_list();
    write_file("full.cho", "old list");
    EXPECT_EQ(run_in_child(export_in_child, count, 100), 1);
    EXPECT_EQ(read_file("full.cho"), "old list");
    EXPECT_FALSE(file_exists("full.cho.tmp"));

    ASSERT_EQ(mkdir("taken.cho", 0700), 0);
    write_file("taken.cho/inside", "x");
    EXPECT_EQ(export_song_list(songs, count, "taken.cho"), -1);
    EXPECT_EQ(read_file("taken.cho/inside"), "x");
    EXPECT_FALSE(file_exists("taken.cho.tmp"));

    EXPECT_EQ(export_song_list(songs, count, "no/such/folder/list.cho"), -1);
    EXPECT_EQ(export_song_list(songs, count, ""), -1);
}

}  // namespace
