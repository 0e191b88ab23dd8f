// Saving a song against real failures: a read-only folder, a full disk, a killed process.
#include "store/rewrite.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/shared_state.h"
#include "store/edit_load.h"
#include "store/index.h"
#include "tests/support/fake_ui.h"
#include "tests/support/library_gen.h"
#include "tests/support/test_files.h"

namespace {

UiWindow const EDITOR = (UiWindow)0x4017;
EditSession session;

enum {
    CHILD_CANNOT_PREPARE = 100,   // the child could not set up the failure
    CHILD_DID_NOT_EXIT = -1
};

// Opens the editor on a song of the library and puts a text into its text box.
void edit_song(const char* title, const char* text)
{
    reset_shared_state();
    fake_ui_reset();
    edit_session_start(&session, title, 0);
    load_song_for_editing(EDITOR, &session);
    ui_editor_set_text(EDITOR, text);
}

// Runs the save in a child process after prepare() has set the failure up there;
// returns the RewriteResult, CHILD_CANNOT_PREPARE or CHILD_DID_NOT_EXIT.
int save_in_child(int (*prepare)(long), long arg)
{
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        if (prepare && prepare(arg) != 0)
            _exit(CHILD_CANNOT_PREPARE);
        _exit(rewrite_songbook(&session, EDITOR));
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return CHILD_DID_NOT_EXIT;
    return WEXITSTATUS(status);
}

// Root writes into a read-only folder anyway. In a user namespace of its own the
// process is nobody for the files outside it, and the folder's mode holds again.
int drop_write_rights(long)
{
    if (geteuid() == 0 && unshare(CLONE_NEWUSER) != 0)
        return -1;
    return access(".", W_OK) == 0 ? -1 : 0;
}

// Files may grow to `limit` bytes; a write past it fails instead of raising SIGXFSZ.
int limit_file_size(long limit)
{
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit rl;
    rl.rlim_cur = (rlim_t)limit;
    rl.rlim_max = (rlim_t)limit;
    return setrlimit(RLIMIT_FSIZE, &rl);
}

bool is_folder(const char* name)
{
    struct stat st;
    return stat(name, &st) == 0 && S_ISDIR(st.st_mode);
}

const std::string SMALL_LIBRARY = ";library\r\n::::: ABIDE :::::\r\nabide\r\n::::: BE STILL :::::\r\nbe still\r\n";

using RewriteSongbookFaults = InTempDir;

TEST_F(RewriteSongbookFaults, ReadOnlyFolderLeavesTheLibraryAsItWas)
{
    write_file(LIBRARY_FILE, SMALL_LIBRARY);
    chmod(LIBRARY_FILE, 0644);
    edit_song("BE STILL", "new words");
    chmod(".", 0555);
    int result = save_in_child(drop_write_rights, 0);
    chmod(".", 0700);
    if (result == CHILD_CANNOT_PREPARE) {
        // no user namespace here: a folder where temp.cnr stands is as unwritable
        ASSERT_EQ(0, mkdir(TEMP_FILE, 0700));
        result = rewrite_songbook(&session, EDITOR);
        EXPECT_TRUE(is_folder(TEMP_FILE));
    } else {
        EXPECT_FALSE(file_exists(TEMP_FILE));
    }
    EXPECT_EQ(REWRITE_NO_TEMP, result);
    EXPECT_EQ(SMALL_LIBRARY, read_file(LIBRARY_FILE));
    EXPECT_FALSE(file_exists(BACKUP_FILE));
}

TEST_F(RewriteSongbookFaults, TempNameTakenByAFolderIsLeftAlone)
{
    write_file(LIBRARY_FILE, SMALL_LIBRARY);
    ASSERT_EQ(0, mkdir(TEMP_FILE, 0700));
    edit_song("BE STILL", "new words");
    EXPECT_EQ(REWRITE_NO_TEMP, rewrite_songbook(&session, EDITOR));
    EXPECT_EQ(SMALL_LIBRARY, read_file(LIBRARY_FILE));
    EXPECT_TRUE(is_folder(TEMP_FILE));
}

TEST_F(RewriteSongbookFaults, BackupThatCannotBeWrittenStopsTheSwap)
{
    write_file(LIBRARY_FILE, SMALL_LIBRARY);
    ASSERT_EQ(0, mkdir(BACKUP_FILE, 0700));
    edit_song("BE STILL", "new words");
    long pos = session.song_pos;
    EXPECT_EQ(REWRITE_SWAP_FAILED, rewrite_songbook(&session, EDITOR));
    EXPECT_EQ(SMALL_LIBRARY, read_file(LIBRARY_FILE));
    EXPECT_FALSE(file_exists(TEMP_FILE));
    EXPECT_TRUE(is_folder(BACKUP_FILE));
    // the editor still holds the song where it was
    EXPECT_EQ(pos, session.song_pos);
    EXPECT_STREQ("BE STILL", state.current_title);
}

TEST_F(RewriteSongbookFaults, LibraryThatCannotBeReadWritesNothing)
{
    ASSERT_EQ(0, mkdir(LIBRARY_FILE, 0700));
    edit_song("BE STILL", "new words");
    EXPECT_EQ(REWRITE_NO_LIBRARY, rewrite_songbook(&session, EDITOR));
    EXPECT_TRUE(is_folder(LIBRARY_FILE));
    EXPECT_FALSE(file_exists(TEMP_FILE));
    EXPECT_FALSE(file_exists(BACKUP_FILE));
}

struct LimitCase {
    const char* what;
    long limit;            // < 0: so many bytes below the new library's size
    int result;
};

TEST_F(RewriteSongbookFaults, FullDiskLeavesTheLibraryAsItWas)
{
    // the last song is saved shorter, so the new library is smaller than the old
    std::string old_lib = generate_library(200);
    std::string last = library_title(200);
    write_file(LIBRARY_FILE, old_lib);
    edit_song(last.c_str(), "short");
    ASSERT_EQ(REWRITE_OK, rewrite_songbook(&session, EDITOR));
    long new_size = (long)read_file(LIBRARY_FILE).size();
    ASSERT_LT(new_size + 100, (long)old_lib.size());

    const LimitCase cases[] = {
        {"no byte fits", 0, REWRITE_WRITE_FAILED},
        {"the first chunk does not fit", 1000, REWRITE_WRITE_FAILED},
        {"half the library fits", new_size / 2, REWRITE_WRITE_FAILED},
        {"all but the last byte fits", -1, REWRITE_WRITE_FAILED},
        {"the new library fits, the backup does not", new_size + 50, REWRITE_SWAP_FAILED},
    };
    for (const LimitCase& c : cases) {
        write_file(LIBRARY_FILE, old_lib);
        remove(BACKUP_FILE);
        edit_song(last.c_str(), "short");
        long limit = c.limit < 0 ? new_size + c.limit : c.limit;
        EXPECT_EQ(c.result, save_in_child(limit_file_size, limit)) << c.what;
        EXPECT_TRUE(read_file(LIBRARY_FILE) == old_lib) << c.what;
        EXPECT_FALSE(file_exists(TEMP_FILE)) << c.what;
        // a backup copy that failed part way is not left to be mistaken for a whole one
        EXPECT_FALSE(file_exists(BACKUP_FILE)) << c.what;
    }
}

TEST_F(RewriteSongbookFaults, KilledSaveLeavesTheOldOrTheNewLibrary)
{
    const int kills = 40;
    write_library_file(LIBRARY_FILE, 2000);
    std::string old_lib = read_file(LIBRARY_FILE);
    std::string last = library_title(2000);
    std::string text = "a changed last song\r\nwith two lines";

    // one save to the end, timed, gives the new bytes and the span of a save
    edit_song(last.c_str(), text.c_str());
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(REWRITE_OK, save_in_child(nullptr, 0));
    long span_us = (long)std::chrono::duration_cast<std::chrono::microseconds>(
                       std::chrono::steady_clock::now() - start).count();
    std::string new_lib = read_file(LIBRARY_FILE);
    ASSERT_NE(old_lib, new_lib);

    int old_seen = 0, new_seen = 0, temp_left = 0;
    for (int i = 0; i < kills; i++) {
        write_file(LIBRARY_FILE, old_lib);
        remove(BACKUP_FILE);
        remove(TEMP_FILE);
        fflush(nullptr);
        pid_t pid = fork();
        if (pid == 0)
            _exit(rewrite_songbook(&session, EDITOR));
        ASSERT_GT(pid, 0);
        // kill points spread from the very start to past the end of a save
        usleep((useconds_t)(span_us * 3 / 2 * i / (kills - 1)));
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(pid, waitpid(pid, &status, 0));

        std::string now = read_file(LIBRARY_FILE);
        bool is_old = now == old_lib;
        bool is_new = now == new_lib;
        ASSERT_TRUE(is_old || is_new) << "kill " << i << ": songbook.cnr holds " << now.size() << " bytes";
        if (is_new) {
            EXPECT_TRUE(read_file(BACKUP_FILE) == old_lib) << "kill " << i;
        }
        old_seen += is_old;
        new_seen += is_new;
        temp_left += file_exists(TEMP_FILE);
    }
    EXPECT_GT(old_seen, 0);
    RecordProperty("old_library_after_kill", old_seen);
    RecordProperty("new_library_after_kill", new_seen);
    RecordProperty("temp_left_after_kill", temp_left);

    // a temp.cnr left by a killed save is no obstacle to the next one
    write_file(TEMP_FILE, "left over");
    RewriteResult result = rewrite_songbook(&session, EDITOR);
    ASSERT_TRUE(result == REWRITE_OK || result == REWRITE_ADDED);
    EXPECT_FALSE(file_exists(TEMP_FILE));
}

TEST_F(RewriteSongbookFaults, ThousandSavesInARowKeepBothLibrariesWhole)
{
    const int saves = 1000;
    std::string original = generate_library(300);
    write_file(LIBRARY_FILE, original);
    edit_song(library_title(150).c_str(), "first text");
    const char* texts[2] = {"first text", "second text\r\nwith a second line"};

    // the library alternates between two states, and the backup is always the other
    std::string states[2];
    std::string previous = original;
    for (int i = 0; i < saves; i++) {
        ui_editor_set_text(EDITOR, texts[i % 2]);
        ASSERT_EQ(REWRITE_OK, rewrite_songbook(&session, EDITOR)) << "save " << i;
        std::string now = read_file(LIBRARY_FILE);
        if (i < 2)
            states[i] = now;
        ASSERT_TRUE(now == states[i % 2]) << "save " << i;
        ASSERT_TRUE(read_file(BACKUP_FILE) == previous) << "save " << i;
        ASSERT_FALSE(file_exists(TEMP_FILE)) << "save " << i;
        previous = now;
    }
    EXPECT_EQ(300, fake_ui.title_count);
    EXPECT_NE(states[0], states[1]);
}

} // namespace
