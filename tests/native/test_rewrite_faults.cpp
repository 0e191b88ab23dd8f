// Saving a song against real failures: folders in the way, a read-only folder, a
// file-size limit at every stage, a really full file system and a killed process.
// After each the library is the old or the new one exactly, no temp.cnr is left,
// and oldbook.cnr is never a partial copy.
#include "store/rewrite.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/shared_state.h"
#include "store/edit_load.h"
#include "store/index.h"
#include "tests/support/fake_ui.h"
#include "tests/support/test_files.h"

namespace {

UiWindow const EDITOR = (UiWindow)0x4017;
EditSession session;
enum { CANNOT_PREPARE = 100 };

// Opens the editor on a song of the library and types a text into it.
void edit_song(const std::string& title, const std::string& text)
{
    reset_shared_state();
    fake_ui_reset();
    edit_session_start(&session, title.c_str(), 0);
    load_song_for_editing(EDITOR, &session);
    ui_editor_set_text(EDITOR, text.c_str());
}

// Root writes into a read-only folder anyway; in a user namespace of its own the
// process is nobody for the files outside it, and the folder's mode holds again.
int save(long drop_write_rights)
{
    if (drop_write_rights && ((geteuid() == 0 && unshare(CLONE_NEWUSER) != 0) || access(".", W_OK) == 0))
        return CANNOT_PREPARE;
    return rewrite_songbook(&session, EDITOR);
}

bool is_folder(const char* name)
{
    struct stat st;
    return stat(name, &st) == 0 && S_ISDIR(st.st_mode);
}

struct Fault {
    const char* what;
    const char* folder;             // a folder in the way of this file
    long (*limit)(long new_size);   // the file-size limit, from the new library's size
    bool read_only;
    RewriteResult want;
};

using RewriteSongbookFaults = InTempDir;

TEST_F(RewriteSongbookFaults, EveryFailureLeavesTheLibraryAsItWas)
{
    // the last song is saved shorter, so the new library is smaller than the old
    const std::string old_lib = many_songs(200), last = "SONG 200";
    write_file(LIBRARY_FILE, old_lib);
    edit_song(last, "short");
    ASSERT_EQ(rewrite_songbook(&session, EDITOR), REWRITE_OK);
    long new_size = (long)read_file(LIBRARY_FILE).size();
    ASSERT_LT(new_size + 100, (long)old_lib.size());
    auto none = [](long) { return -1L; };
    const Fault faults[] = {
        {"temp.cnr is a folder", TEMP_FILE, none, false, REWRITE_NO_TEMP},
        {"oldbook.cnr is a folder", BACKUP_FILE, none, false, REWRITE_SWAP_FAILED},
        {"songbook.cnr is a folder", LIBRARY_FILE, none, false, REWRITE_NO_LIBRARY},
        {"the folder is read-only", nullptr, none, true, REWRITE_NO_TEMP},
        {"no byte fits", nullptr, [](long) { return 0L; }, false, REWRITE_WRITE_FAILED},
        {"the first chunk does not fit", nullptr, [](long) { return 1000L; }, false, REWRITE_WRITE_FAILED},
        {"half the library fits", nullptr, [](long n) { return n / 2; }, false, REWRITE_WRITE_FAILED},
        {"all but the last byte fits", nullptr, [](long n) { return n - 1; }, false, REWRITE_WRITE_FAILED},
        {"the new library fits, the backup does not", nullptr, [](long n) { return n + 50; }, false,
         REWRITE_SWAP_FAILED},
    };
    for (const Fault& f : faults) {
        write_file(LIBRARY_FILE, old_lib);
        remove(BACKUP_FILE);
        edit_song(last, "short");
        long held = session.song_pos;
        if (f.folder) {
            remove(f.folder);
            ASSERT_EQ(mkdir(f.folder, 0700), 0) << f.what;
        }
        if (f.read_only)
            chmod(".", 0555);
        int result = run_in_child(save, f.read_only, f.limit(new_size));
        chmod(".", 0700);
        if (result == CANNOT_PREPARE) {
            printf("    skipped (no user namespace here): %s\n", f.what);
            continue;
        }
        EXPECT_EQ(result, f.want) << f.what;
        EXPECT_TRUE(f.folder == LIBRARY_FILE ? is_folder(LIBRARY_FILE) : read_file(LIBRARY_FILE) == old_lib) << f.what;
        EXPECT_EQ(file_exists(TEMP_FILE), f.folder == TEMP_FILE) << f.what;
        EXPECT_EQ(file_exists(BACKUP_FILE), f.folder == BACKUP_FILE) << f.what;
        if (f.folder)
            rmdir(f.folder);
        write_file(LIBRARY_FILE, old_lib);
        // the editor still holds its song where it was
        EXPECT_EQ(rewrite_songbook(&session, EDITOR), REWRITE_OK) << f.what << ": the next save";
        EXPECT_EQ(session.song_pos, held) << f.what;
    }
}

// In a child: a file system of fs_bytes over the folder, the library written into
// it, then a save of a longer last song; the outcome comes back as the exit code.
int save_on_small_disk(long fs_bytes)
{
    char folder[4096];
    std::string options = "size=" + std::to_string(fs_bytes);
    if (!getcwd(folder, sizeof folder) || unshare(CLONE_NEWNS) != 0 ||
        mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", folder, "tmpfs", 0, options.c_str()) != 0 || chdir(folder) != 0)
        return CANNOT_PREPARE;
    std::string library = many_songs(200), text;
    write_file(LIBRARY_FILE, library);
    for (int i = 0; i < 100; i++)
        text += "A  D  E  G<\r\nA LONGER LAST SONG THAT NEEDS MORE ROOM\r\n";
    edit_song("SONG 200", text);
    int result = rewrite_songbook(&session, EDITOR);
    return read_file(LIBRARY_FILE) != library || file_exists(TEMP_FILE) ? 99 : result;
}

TEST_F(RewriteSongbookFaults, AReallyFullFileSystemLeavesTheLibraryAsItWas)
{
    long library = (long)many_songs(200).size();
    int result = run_in_child(save_on_small_disk, library + 64 * 1024);
    if (result == CANNOT_PREPARE)
        GTEST_SKIP() << "no permission to mount a tmpfs in a mount namespace here";
    EXPECT_EQ(result, REWRITE_WRITE_FAILED) << "room for one library";
    result = run_in_child(save_on_small_disk, 2 * library + 64 * 1024);
    EXPECT_EQ(result, REWRITE_SWAP_FAILED) << "room for the new library, not for the backup";
}

TEST_F(RewriteSongbookFaults, AKilledSaveLeavesTheOldOrTheNewLibrary)
{
    const int kills = 40;
    std::string old_lib = many_songs(2000), last = "SONG 2000";
    write_file(LIBRARY_FILE, old_lib);
    // one save to its end, timed, gives the new bytes and the span of a save
    edit_song(last, "a changed last song\r\nwith two lines");
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(run_in_child(save, 0), REWRITE_OK);
    long span_us = (long)std::chrono::duration_cast<std::chrono::microseconds>(
                       std::chrono::steady_clock::now() - start).count();
    std::string new_lib = read_file(LIBRARY_FILE);
    ASSERT_NE(old_lib, new_lib);
    int old_seen = 0;
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
        waitpid(pid, nullptr, 0);
        std::string now = read_file(LIBRARY_FILE);
        ASSERT_TRUE(now == old_lib || now == new_lib) << "kill " << i << ": songbook.cnr holds " << now.size();
        EXPECT_TRUE(now == old_lib || read_file(BACKUP_FILE) == old_lib) << "kill " << i;
        old_seen += now == old_lib;
    }
    EXPECT_GT(old_seen, 0);
    // a temp.cnr left by a killed save is no obstacle to the next one
    write_file(LIBRARY_FILE, old_lib);
    write_file(TEMP_FILE, "left over");
    ASSERT_EQ(rewrite_songbook(&session, EDITOR), REWRITE_OK);
    EXPECT_FALSE(file_exists(TEMP_FILE));
}

}  // namespace
