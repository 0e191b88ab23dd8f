// Tests of importing ChordPro files and chord sheets: the songs each file becomes, against
// expected library text, and their safe addition to the library.
#include "chordpro/import_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sched.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "store/add_songs.h"
#include "store/index.h"
#include "tests/support/fake_ui.h"
#include "tests/support/test_files.h"

namespace {

UiWindow const HOME = (UiWindow)0x4036;

// tests/import/, found from this file's own place in the tree
std::string import_folder()
{
    std::string here = __FILE__;
    return here.substr(0, here.rfind('/')) + "/../import/";
}

const std::string LIBRARY = ";library\r\n"
                            "::::: OLD HYMN ::::: KEY=xx\r\r\n"
                            " \r\n"
                            "old words \r\n"
                            "#*#*# end of book\r\n"
                            "::::: BEHIND THE END :::::\r\n";

// Each file imported alone into LIBRARY: its songs (tests/import/<file>.cnr, none
// when that file is missing) go in front of the end-of-book marker.
struct GoldenImport {
    const char* file;
    const char* summary;
};

const GoldenImport golden_imports[] = {
    // sections, meta lines, syllable columns, a line of chords only, # comments
    {"amazing_grace.cho", "1 song was added to the library."},
    // chords closer than two blanks moved apart; chord-only lines
    {"crowded.chordpro", "1 song was added to the library."},
    // {new_song}; a title the library has; a song without a title takes the file's name
    {"existing_title.cho",
     "2 songs were added to the library.\rLeft out:\r"
     "existing_title.cho, OLD HYMN: the library already has a song of this title"},
    // lines over 99 columns broken at a blank, chord row and lyric row together
    {"long_line.cho", "1 song was added to the library."},
    // marks of the library in a title and in lines; a ';' line; an '&'
    {"marks.cho",
     "1 song was added to the library.\rChanged:\r"
     "marks.cho, PSALM 23 - THE LORD #+#+# **+**: 3 lines held \":::::\" or \"#*#*#\", which mark songs in the "
     "library;\rtheir colons became ';' and their stars '+'."},
    {"only_title.cho", "No song was added to the library.\rLeft out:\ronly_title.cho holds no song"},
    {"tab_and_grid.cho", "1 song was added to the library."},
    {"utf8_bom.cho", "1 song was added to the library."},
    {"cp1252.pro", "1 song was added to the library."},
    {"utf16.txt", "1 song was added to the library."},
    {"binary.cho", "No song was added to the library.\rLeft out:\rbinary.cho is not a text file"},
    {"empty.txt", "No song was added to the library.\rLeft out:\rempty.txt is empty"},
    // a chord sheet: title line, chord rows marked over their lyric rows, tabs, labels kept
    {"be_still.txt", "1 song was added to the library."},
    {"sheet_without_title.txt", "1 song was added to the library."},
};

class ImportSongFiles : public InTempDir {
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        reset_shared_state();
        fake_ui_reset();
    }
};

TEST_F(ImportSongFiles, EachFileBecomesTheExpectedSongs)
{
    std::string folder = import_folder();
    size_t end_mark = LIBRARY.find("#*#*#");
    for (const GoldenImport& c : golden_imports) {
        write_file(LIBRARY_FILE, LIBRARY);
        remove(BACKUP_FILE);
        fake_ui_reset();
        const char* names[] = {c.file};
        int added = import_song_files(HOME, folder.c_str(), names, 1);

        std::string songs = read_file((folder + c.file + ".cnr").c_str());
        EXPECT_EQ(LIBRARY.substr(0, end_mark) + songs + LIBRARY.substr(end_mark), read_file(LIBRARY_FILE)) << c.file;
        EXPECT_STREQ(c.summary, import_summary()) << c.file;
        EXPECT_EQ(1, fake_ui.message_count);
        EXPECT_STREQ("IMPORT", fake_ui.message_caption);
        EXPECT_EQ(HOME, fake_ui.message_owner);
        // a library that changed has its backup and a refilled title box; else neither
        EXPECT_EQ(added > 0 ? LIBRARY : "", read_file(BACKUP_FILE)) << c.file;
        EXPECT_EQ(added > 0 ? 1 : 0, fake_ui.title_resets) << c.file;
        EXPECT_FALSE(file_exists(TEMP_FILE));
    }
}

TEST_F(ImportSongFiles, SeveralFilesGoInTogetherAndNoTitleTwice)
{
    std::string folder = import_folder();
    // no end-of-book marker and an unterminated last line: the songs go in front of it
    std::string library = ";c\r\n::::: OLD HYMN :::::\r\nwords\r\nunterminated";
    write_file(LIBRARY_FILE, library);
    const char* names[] = {"amazing_grace.cho", "no such file.cho", "be_still.txt", "amazing_grace.cho"};
    EXPECT_EQ(2, import_song_files(HOME, (folder + "/").c_str(), names, 4));
    EXPECT_EQ(";c\r\n::::: OLD HYMN :::::\r\nwords\r\n" + read_file((folder + "amazing_grace.cho.cnr").c_str()) +
                  read_file((folder + "be_still.txt.cnr").c_str()) + "unterminated",
              read_file(LIBRARY_FILE));
    EXPECT_EQ(library, read_file(BACKUP_FILE));
    EXPECT_STREQ("2 songs were added to the library.\rLeft out:\r"
                 "no such file.cho cannot be opened\r"
                 "amazing_grace.cho, AMAZING GRACE: another song of this import has this title",
                 import_summary());
    EXPECT_EQ(3, fake_ui.title_count);
}

// add_songs keeps every byte of the library but those it puts in.
struct InsertCase {
    const char* what;
    std::string before;
    const char* goes_before;   // the song goes in front of this text ("": at the end); null: not written
};

const std::string SONG = "::::: NEW SONG ::::: KEY=xx\r\r\n \r\nG  C< \r\nla la \r\n";

const InsertCase insert_cases[] = {
    {"at the end", ";c\r\n::::: A :::::\r\na\r\n", ""},
    {"in front of the marker", "::::: A :::::\r\n;c\r\n#*#*#\r\n::::: NEW SONG :::::\r\n", "#*#*#"},
    {"behind the last line feed", "::::: A :::::\r\na\r\n;c\r\nno line end", "no line end"},
    {"in front of a 0x1A", "::::: A :::::\r\na\r\n\x1A::::: X :::::\r\n", "\x1A"},
    {"a stray CR kept", "::::: A :::::\r\na\rb\r\n", ""},
    {"not: the title is there", ";c\r\n:::::   new song  \r\n", nullptr},
    {"not: the title is there, hidden", "::::: A :::::\r\n:::::New Song:::::\r\n", nullptr},
};

TEST(AddSongs, PutsTheSongInAndKeepsEveryOtherByte)
{
    TempDir dir;
    for (const InsertCase& c : insert_cases) {
        write_file(LIBRARY_FILE, c.before);
        NewSong song = {"NEW SONG", "G  C<\nla la\n", 12, TITLE_FREE};
        int added = -1;
        EXPECT_EQ(REWRITE_OK, add_songs(&song, 1, &added)) << c.what;
        std::string want = c.before;
        if (c.goes_before)
            want.insert(*c.goes_before ? want.find(c.goes_before) : want.size(), SONG);
        EXPECT_EQ(want, read_file(LIBRARY_FILE)) << c.what;
        EXPECT_EQ(c.goes_before ? 1 : 0, added) << c.what;
        EXPECT_EQ(c.goes_before ? TITLE_FREE : TITLE_IN_LIBRARY, song.taken) << c.what;
        remove(BACKUP_FILE);
    }
}

// Root writes into a read-only folder anyway; in a user namespace of its own it cannot.
int import_in_read_only_folder(const char* folder, const char* const* names)
{
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        if ((geteuid() == 0 && unshare(CLONE_NEWUSER) != 0) || access(".", W_OK) == 0)
            _exit(100);
        int added = import_song_files(HOME, folder, names, 1);
        _exit(added == 0 && strstr(import_summary(), "TEMP.CNR cannot be created") ? 0 : 1);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST_F(ImportSongFiles, ReadOnlyFolderLeavesTheLibraryAsItWas)
{
    write_file(LIBRARY_FILE, LIBRARY);
    const char* names[] = {"amazing_grace.cho"};
    chmod(".", 0555);
    int result = import_in_read_only_folder(import_folder().c_str(), names);
    chmod(".", 0700);
    if (result == 100) {
        // no user namespace here: a folder where temp.cnr goes is as unwritable
        ASSERT_EQ(0, mkdir(TEMP_FILE, 0700));
        EXPECT_EQ(0, import_song_files(HOME, import_folder().c_str(), names, 1));
        EXPECT_NE(nullptr, strstr(import_summary(), "No song was added: the working copy TEMP.CNR cannot be created"));
        EXPECT_STREQ("IMPORT", fake_ui.message_caption);
        EXPECT_EQ(0, fake_ui.title_resets);
    } else {
        EXPECT_EQ(0, result);
        EXPECT_FALSE(file_exists(TEMP_FILE));
    }
    EXPECT_EQ(LIBRARY, read_file(LIBRARY_FILE));
    EXPECT_FALSE(file_exists(BACKUP_FILE));
}

} // namespace
