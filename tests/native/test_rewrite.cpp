// Saving a song: whole saves as golden cases (tests/golden/NAME.edit, the steps of
// one editing, failures injected included, between NAME.before.cnr and
// NAME.after.cnr); a really full file system and a killed save.
#include "store/rewrite.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "store/edit_load.h"
#include "store/index.h"
#include "tests/support/test_files.h"

namespace {

UiWindow const EDITOR = (UiWindow)0x4017;

using RewriteSongbook = InTempDir;

// Opens an editor as the home screen does: New Song, or Edit Song on a title as
// listed (the exact title "songnew" loads nothing); the boxes start as the template's.
void open_editor(EditSession* session, const std::string& title, bool new_song)
{
    edit_session_start(session, new_song ? "songnew" : title.c_str(), new_song);
    ui_editor_set_title(EDITOR, "Name");
    ui_editor_set_text(EDITOR, "Edit");
    if (!new_song && title != "songnew")
        load_song_for_editing(EDITOR, session);
}

const char* const RESULTS[] = {"OK", "ADDED", "REFUSED", "NO_LIBRARY", "NO_TEMP", "WRITE_FAILED", "SWAP_FAILED",
                               "TRUNCATED"};
enum { CANNOT_PREPARE = 100 };
EditSession* saving;

// A save in a child process: under a file-size limit, or in a folder made
// read-only (root writes into one anyway; in a user namespace of its own the
// process is nobody for the files outside it, and the folder's mode holds).
int save_in_child(long read_only)
{
    if (read_only && ((geteuid() == 0 && unshare(CLONE_NEWUSER) != 0) || access(".", W_OK) == 0))
        return CANNOT_PREPARE;
    return rewrite_songbook(saving, EDITOR);
}

// Saves and checks what holds after every save: no temp.cnr is left, oldbook.cnr
// is the library before a save that changed it; a save that failed changed neither
// the library, nor oldbook.cnr, nor the title list, and says so. Options: "2"
// (the second editor), "limit=N" (a file-size limit), "read-only" (the folder).
RewriteResult save(EditSession* session, const Case& step)
{
    std::string lib = read_file(LIBRARY_FILE), backup = read_file(BACKUP_FILE), options;
    for (size_t i = 2; i < step.size(); i++)
        options += step[i] + " ";
    bool temp_there = file_exists(TEMP_FILE), read_only = options.find("read-only") != std::string::npos;
    size_t limit = options.find("limit=");
    int resets = fake_ui.title_resets, result;
    saving = session;
    if (limit == std::string::npos && !read_only)
        result = rewrite_songbook(session, EDITOR);
    else {
        chmod(".", read_only ? 0555 : 0700);
        result = run_in_child(save_in_child, read_only, limit == std::string::npos ? -1 : atol(&options[limit + 6]));
        chmod(".", 0700);
        if (result == CANNOT_PREPARE) {
            printf("    a read-only folder cannot be had here: skipped\n");
            return (RewriteResult)(std::find(RESULTS, RESULTS + 8, step[1]) - RESULTS);
        }
    }
    EXPECT_STREQ(RESULTS[result], step[1].c_str()) << options;
    EXPECT_EQ(file_exists(TEMP_FILE), temp_there) << options;
    bool changed = result == REWRITE_OK || result == REWRITE_ADDED;
    EXPECT_TRUE(read_file(BACKUP_FILE) == (changed ? lib : backup)) << "the backup after " << RESULTS[result];
    std::string message = rewrite_message((RewriteResult)result, session);
    EXPECT_EQ(message.find('\n'), std::string::npos) << "message boxes break lines with CR alone";
    if (!changed) {
        EXPECT_TRUE(read_file(LIBRARY_FILE) == lib) << "a failed save changed the library";
        EXPECT_EQ(fake_ui.title_resets, resets) << "a failed save refilled the title list";
    }
    if (result >= REWRITE_NO_LIBRARY) {
        EXPECT_NE(message.find("left unchanged"), std::string::npos) << message;
    }
    return (RewriteResult)result;
}

// Steps: open | title [| 2], new [| 2], title | text, text | text, library | bytes
// (changed by another program; <none>: removed), save | result [| options], said |
// part of the message, boxes | title box | text box, current | title looked up,
// listed | the title list, message | caption of the last message box, holds | the
// library's bytes, mkdir | a folder in the way (a file of that name goes), rmdir | folder.
void run_edit(const std::string& name)
{
    SCOPED_TRACE(name);
    std::string before = source_file("tests/golden/" + name + ".before.cnr");
    if (!before.empty())
        write_file(LIBRARY_FILE, before);
    EditSession sessions[2];
    EditSession* saved = &sessions[0];
    RewriteResult result = REWRITE_OK;
    for (const Case& step : case_lines("tests/golden/" + name + ".edit")) {
        const std::string& op = step[0];
        EditSession* session = &sessions[step.size() > 2 && step[2] == "2"];
        if (op == "open" || op == "new")
            open_editor(session, op == "new" ? "" : step[1], op == "new");
        else if (op == "title")
            ui_editor_set_title(EDITOR, step[1].c_str());
        else if (op == "text")
            ui_editor_set_text(EDITOR, step[1].c_str());
        else if (op == "library")
            step[1] == "<none>" ? (void)remove(LIBRARY_FILE) : write_file(LIBRARY_FILE, step[1]);
        else if (op == "save")
            result = save(saved = session, step);
        else if (op == "said")
            EXPECT_NE(strstr(rewrite_message(result, saved), step[1].c_str()), nullptr) << step[1];
        else if (op == "boxes")
            EXPECT_EQ(std::string(fake_ui.editor_title) + " | " + fake_ui.editor_text, step[1] + " | " + step[2]);
        else if (op == "current")
            EXPECT_EQ(std::string(state.current_title), step[1]);
        else if (op == "holds")
            EXPECT_TRUE(read_file(LIBRARY_FILE) == step[1]) << "the library after the last save";
        else if (op == "listed")
            EXPECT_EQ(titles_listed(), step[1]);
        else if (op == "message")
            EXPECT_STREQ(fake_ui.message_caption, step[1].c_str()) << "the caption of the last message box";
        else if (op == "mkdir") {
            remove(step[1].c_str());
            EXPECT_EQ(mkdir(step[1].c_str(), 0700), 0);
        } else if (op == "rmdir")
            rmdir(step[1].c_str());
        else
            ADD_FAILURE() << "unknown step " << op;
    }
    std::string after = source_file("tests/golden/" + name + ".after.cnr");
    EXPECT_TRUE(read_file(LIBRARY_FILE) == after) << "the library is not " << name << ".after.cnr";
}

TEST_F(RewriteSongbook, WritesEveryGoldenCaseByteForByte)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(CANTORIA_SOURCE) + "/tests/golden"))
        if (entry.path().extension() == ".edit") {
            TempDir fresh;
            reset_shared_state();
            fake_ui_reset();
            run_edit(entry.path().stem().string()), count++;
        }
    EXPECT_GE(count, 30);
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
    EditSession session;
    open_editor(&session, "SONG 200", false);
    ui_editor_set_text(EDITOR, text.c_str());
    int result = rewrite_songbook(&session, EDITOR);
    return read_file(LIBRARY_FILE) != library || file_exists(TEMP_FILE) ? 99 : result;
}

TEST_F(RewriteSongbook, AReallyFullFileSystemLeavesTheLibraryAsItWas)
{
    long library = (long)many_songs(200).size();
    int result = run_in_child(save_on_small_disk, library + 64 * 1024);
    if (result == CANNOT_PREPARE)
        GTEST_SKIP() << "no permission to mount a tmpfs in a mount namespace here";
    EXPECT_EQ(result, REWRITE_WRITE_FAILED) << "room for one library";
    result = run_in_child(save_on_small_disk, 2 * library + 64 * 1024);
    EXPECT_EQ(result, REWRITE_SWAP_FAILED) << "room for the new library, not for the backup";
}

TEST_F(RewriteSongbook, AKilledSaveLeavesTheOldOrTheNewLibrary)
{
    const int kills = 40;
    std::string old_lib = many_songs(2000);
    write_file(LIBRARY_FILE, old_lib);
    // one save to its end, timed, gives the new bytes and the span of a save
    EditSession session;
    open_editor(saving = &session, "SONG 2000", false);
    ui_editor_set_text(EDITOR, "a changed last song\r\nwith two lines");
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(run_in_child(save_in_child, 0), REWRITE_OK);
    long span_us = (long)std::chrono::duration_cast<std::chrono::microseconds>(
                       std::chrono::steady_clock::now() - start).count();
    std::string new_lib = read_file(LIBRARY_FILE);
    int old_seen = 0;
    for (int i = 0; i < kills; i++) {
        write_file(LIBRARY_FILE, old_lib);
        remove(BACKUP_FILE), remove(TEMP_FILE), fflush(nullptr);
        pid_t pid = fork();
        if (pid == 0)
            _exit(rewrite_songbook(&session, EDITOR));
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
