// Tests of the ChordPro export of a song list, against an expected file, and of its failures.
#include "chordpro/export.h"

#include <sys/stat.h>

#include "chordpro/cp1252.h"
#include "chordpro/import_files.h"
#include "layout/service_pages.h"
#include "store/book_format.h"
#include "store/index.h"
#include "tests/support/test_files.h"
#include "transpose/transpose.h"

namespace {

using ExportSongList = InTempDir;
SongListEntry songs[SONG_LIST_SIZE];
SongLines work;

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
    ASSERT_EQ(export_song_list(songs, 5, "service.cho", &work), 0);
    EXPECT_EQ(read_file("service.cho"), source_file("tests/golden/service.cho"));
    EXPECT_FALSE(file_exists("service.cho.tmp"));
    EXPECT_STREQ(state.current_title, "VIEWER SONG");
    EXPECT_STREQ(state.raw_lines[1], "G <");
    EXPECT_STREQ(state.display_lines[1], "A  ");
    EXPECT_EQ(state.line_count, 2);
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

// Each row of the songs as the viewer shows them at key, "<" in front of a chord row.
std::string rows_shown(const char* const* titles, int count, int key)
{
    std::string rows;
    for (int i = 0; i < count; i++) {
        EXPECT_EQ(load_song_lines_at(titles[i], -1, &work), 0) << titles[i];
        transpose_lines(work.raw, work.shown, work.count, key);
        for (int row = 1; row < work.count; row++)
            rows += (is_chord_row(work.raw[row], LINE_WIDTH) ? "<" : " ") +
                    std::string(work.shown[row]).erase(std::string(work.shown[row]).find_last_not_of(' ') + 1) + "\n";
    }
    return rows;
}

// Exported at a key change and imported into an empty library, every song comes
// back with every row as the viewer showed it: chords at their columns, words
// holding ChordPro's own characters unchanged.
TEST_F(ExportSongList, ImportGivesBackEveryRowAtItsColumn)
{
    static ImportRun run;
    const char* titles[] = {"GRACE", "HARD WORDS"};
    for (int key : {0, 2, -3}) {
        write_file(LIBRARY_FILE, source_file("tests/golden/round_trip.cnr"));
        SongListEntry list[2] = {{"GRACE", key}, {"HARD WORDS", key}};
        std::string before = rows_shown(titles, 2, key);
        ASSERT_EQ(export_song_list(list, 2, "trip.cho", &work), 0);
        write_file(LIBRARY_FILE, ";\r\n");
        const char* names[] = {"trip.cho"};
        ASSERT_EQ(import_song_files(&run, "", names, 1, nullptr, nullptr), 2) << run.summary;
        EXPECT_EQ(rows_shown(titles, 2, 0), before) << "key change " << key;
    }
}

// One file a song, named by running order, read by chordsheetjs (from npm, see
// scripts/install-deps.sh): every title, row of words and chord column as the
// viewer shows them; a song not found is its title alone.
TEST_F(ExportSongList, ChordsheetjsReadsEachSongFileAsShown)
{
    std::string modules = std::string(CANTORIA_SOURCE) + "/build/node/node_modules";
    if (system("node --version >/dev/null 2>&1") != 0 || !file_exists((modules + "/chordsheetjs").c_str()))
        GTEST_SKIP() << "node or chordsheetjs is missing: scripts/install-deps.sh installs chordsheetjs with npm";
    write_file(LIBRARY_FILE, source_file("tests/golden/round_trip.cnr"));
    SongListEntry list[3] = {{"GRACE", 2}, {"Not There", 0}, {"hard words", -3}};
    const char* titles[] = {"GRACE", "HARD WORDS"};
    std::string expected = "GRACE\n" + rows_shown(titles, 1, 2) + "Not There\nHARD WORDS\n" + rows_shown(titles + 1, 1, -3);
    std::string utf8;
    for (char c : expected) {
        char code[4];
        utf8.append(code, (size_t)cp1252_to_utf8((unsigned char)c, code));
    }
    char failed[1100];
    ASSERT_EQ(mkdir("tablet", 0700), 0);
    ASSERT_EQ(export_song_files(list, 3, "tablet", &work, failed, sizeof failed), 0) << failed;
    std::string command = "NODE_PATH='" + modules + "' node '" + CANTORIA_SOURCE +
                          "/tests/chordsheetjs/read_back.js' 'tablet/01 GRACE.cho' 'tablet/02 Not There.cho' "
                          "'tablet/03 HARD WORDS.cho'";
    FILE* node = popen(command.c_str(), "r");
    std::string read;
    for (int c; node && (c = fgetc(node)) != EOF;)
        read += (char)c;
    EXPECT_EQ(node ? pclose(node) : -1, 0);
    EXPECT_EQ(read, utf8);
}

int export_in_child(long count) { return export_song_list(songs, (int)count, "full.cho", &work) == 0 ? 0 : 1; }

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
    EXPECT_EQ(export_song_list(songs, count, "taken.cho", &work), -1);
    EXPECT_EQ(read_file("taken.cho/inside"), "x");
    EXPECT_FALSE(file_exists("taken.cho.tmp"));

    EXPECT_EQ(export_song_list(songs, count, "no/such/folder/list.cho", &work), -1);
    EXPECT_EQ(export_song_list(songs, count, "", &work), -1);
}

}  // namespace
