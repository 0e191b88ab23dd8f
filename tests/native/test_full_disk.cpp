// A save onto a file system that really fills up: a small tmpfs mounted in a
// mount namespace of a child process of its own, so nothing outlives the test.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/shared_state.h"
#include "store/edit_load.h"
#include "store/index.h"
#include "store/record.h"
#include "store/rewrite.h"
#include "tests/support/fake_ui.h"
#include "tests/support/library_gen.h"
#include "tests/support/test_files.h"

namespace {

enum { CHILD_OK = 0, CHILD_NO_MOUNT = 10, CHILD_BAD_RESULT = 11, CHILD_LIBRARY_CHANGED = 12,
       CHILD_TEMP_LEFT = 13, CHILD_SETUP = 14 };

// In the child: a file system of fs_bytes over the folder, the library written
// into it, then a save of a longer last song; the outcome comes back as exit code.
int save_on_small_disk(const std::string& folder, long fs_bytes, int want)
{
    if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return CHILD_NO_MOUNT;
    std::string options = "size=" + std::to_string(fs_bytes);
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0 || chdir(folder.c_str()) != 0)
        return CHILD_NO_MOUNT;
    std::string library = generate_library(200);
    write_file(LIBRARY_FILE, library);
    if (read_file(LIBRARY_FILE) != library)
        return CHILD_SETUP;
    reset_shared_state();
    fake_ui_reset();
    EditSession session;
    edit_session_start(&session, library_title(200).c_str(), 0);
    load_song_for_editing(nullptr, &session);
    copy_bounded(fake_ui.editor_title, FAKE_TEXT, library_title(200).c_str());
    std::string text;
    for (int i = 0; i < 100; i++)
        text += "A  D  E  G<\r\nA LONGER LAST SONG THAT NEEDS MORE ROOM\r\n";
    copy_bounded(fake_ui.editor_text, FAKE_EDITOR_TEXT, text.c_str());
    int result = rewrite_songbook(&session, nullptr);
    if (result != want)
        return CHILD_BAD_RESULT;
    if (read_file(LIBRARY_FILE) != library)
        return CHILD_LIBRARY_CHANGED;
    if (file_exists(TEMP_FILE))
        return CHILD_TEMP_LEFT;
    return CHILD_OK;
}

int run_child(const std::string& folder, long fs_bytes, int want)
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(save_on_small_disk(folder, fs_bytes, want));
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

class FullDisk : public InTempDir {};

TEST_F(FullDisk, ASaveThatDoesNotFitLeavesTheLibraryAsItWas)
{
    long library = (long)generate_library(200).size();
    struct Case { const char* what; long fs_bytes; int want; } cases[] = {
        {"room for the library only", library + 64 * 1024, REWRITE_WRITE_FAILED},
        {"room for the new library, not for the backup", 2 * library + 64 * 1024, REWRITE_SWAP_FAILED},
    };
    for (const Case& c : cases) {
        int outcome = run_child(temp_path(), c.fs_bytes, c.want);
        if (outcome == CHILD_NO_MOUNT)
            GTEST_SKIP() << "no permission to mount a tmpfs in a mount namespace here";
        EXPECT_EQ(outcome, CHILD_OK) << c.what;
    }
}

}
