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

using RewriteSongbook = InTempDir;

// The editor's boxes (one set, as one window shows them) and the caption of the
// last message box the editor showed.
struct Boxes {
    std::string title = "Name", text = "Edit", caption;
} editor_boxes[2], &boxes_of_first = editor_boxes[0];
Boxes* shown = &boxes_of_first;
#define boxes (*shown)
RewriteWork work;

EditorText as_text() { return EditorText{boxes.title.c_str(), boxes.text.c_str(), (int)boxes.text.size()}; }

void remember_shown(EditSession* session)
{
    EditorText text = as_text();
    session->shown_hash = editor_text_hash(&text);
}

// Opens an editor as the home screen does: New Song, or Edit Song on a title as
// listed (the exact title "songnew" loads nothing); the boxes start as the template's.
void open_editor(EditSession* session, const std::string& title, bool new_song)
{
    edit_session_start(session, new_song ? "songnew" : title.c_str(), new_song);
    boxes = Boxes();
    if (!new_song && title != "songnew") {
        static char text[EDIT_BUF_SIZE];
        boxes.title = title;
        if (load_song_for_editing(session, text, sizeof text, &work) == 0)
            boxes.text = text;
        boxes.caption = session->truncated ? too_long_caption : "";
    }
    remember_shown(session);
}

// A save as the editor makes it: the boxes as shown afterwards, the title list refilled.
RewriteResult editor_save(EditSession* session)
{
    EditorText text = as_text();
    RewriteResult result = rewrite_songbook(session, &text, &work);
    if (result == REWRITE_ADDED)
        boxes.title = session->title;
    if (result == REWRITE_OK || result == REWRITE_ADDED)
        remember_shown(session);
    return result;
}

const char* const RESULTS[] = {"OK", "ADDED", "UNCHANGED", "REFUSED", "TITLE_TAKEN", "NO_LIBRARY", "NOT_WRITTEN",
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
    int result = editor_save(saving);
    return result + 16 * saving->write_error;   // the cause goes back to the parent too
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
    int result;
    saving = session;
    if (limit == std::string::npos && !read_only)
        result = editor_save(session);
    else {
        chmod(".", read_only ? 0555 : 0700);
        result = run_in_child(save_in_child, read_only, limit == std::string::npos ? -1 : atol(&options[limit + 6]));
        if (result != CANNOT_PREPARE && result >= 0) {
            session->write_error = (WriteResult)(result / 16);
            result %= 16;
        }
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
    }
    EXPECT_FALSE(file_exists(BACKUP_FILE ".tmp")) << "a backup's working copy was left";
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
        int editor = step.size() > 2 && step[2] == "2";
        EditSession* session = &sessions[editor];
        shown = &editor_boxes[editor];
        if (op == "open" || op == "new")
            open_editor(session, op == "new" ? "" : step[1], op == "new");
        else if (op == "title")
            boxes.title = step[1];
        else if (op == "text")
            boxes.text = step[1];
        else if (op == "library")
            step[1] == "<none>" ? (void)remove(LIBRARY_FILE) : write_file(LIBRARY_FILE, step[1]);
        else if (op == "save")
            result = save(saved = session, step);
        else if (op == "said")
            EXPECT_NE(strstr(rewrite_message(result, saved), step[1].c_str()), nullptr) << step[1] << " in " << rewrite_message(result, saved);
        else if (op == "boxes")
            EXPECT_EQ(boxes.title + " | " + boxes.text, step[1] + " | " + step[2]);
        else if (op == "current")
            EXPECT_EQ(std::string(state.current_title), step[1]);
        else if (op == "holds")
            EXPECT_TRUE(read_file(LIBRARY_FILE) == step[1]) << "the library after the last save";
        else if (op == "listed")
            EXPECT_EQ(titles_listed(), step[1]);
        else if (op == "message")
            EXPECT_EQ(boxes.caption, step[1]) << "the caption of the last message box";
        else if (op == "note")
            EXPECT_EQ(std::string(session->note), step[1]) << "the note of what the loading left out";
        else if (op == "mkdir") {
            remove(step[1].c_str());
            EXPECT_EQ(mkdir(step[1].c_str(), 0700), 0);
        } else if (op == "rmdir")
            rmdir(step[1].c_str());
        else
            ADD_FAILURE() << "unknown step " << op;
    }
    std::string after = source_file("tests/golden/" + name + ".after.cnr");
    if (getenv("CANTORIA_WRITE_GOLDEN") && !after.empty())   // for a deliberate change of what saves write; review the diff
        write_file((std::string(CANTORIA_SOURCE) + "/tests/golden/" + name + ".after.cnr").c_str(), read_file(LIBRARY_FILE));
    EXPECT_TRUE(read_file(LIBRARY_FILE) == after) << "the library is not " << name << ".after.cnr";
}

TEST_F(RewriteSongbook, WritesEveryGoldenCaseByteForByte)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(CANTORIA_SOURCE) + "/tests/golden"))
        if (entry.path().extension() == ".edit") {
            TempDir fresh;
            reset_shared_state();
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
    write_file(BACKUP_FILE, "the backup before");
    EditSession session;
    open_editor(&session, "SONG 200", false);
    boxes.text = text;
    int result = editor_save(&session);
    bool kept = read_file(LIBRARY_FILE) == library && read_file(BACKUP_FILE) == "the backup before";
    if (!kept || file_exists(TEMP_FILE) || file_exists(BACKUP_FILE ".tmp"))
        return 99;
    return result == REWRITE_NOT_WRITTEN ? 50 + session.write_error : result;
}

TEST_F(RewriteSongbook, AReallyFullFileSystemLeavesTheLibraryAsItWas)
{
    long library = (long)many_songs(200).size();
    int result = run_in_child(save_on_small_disk, library + 64 * 1024);
    if (result == CANNOT_PREPARE)
        GTEST_SKIP() << "no permission to mount a tmpfs in a mount namespace here";
    EXPECT_EQ(result, 50 + WRITE_DISK_FULL) << "room for one library";
    result = run_in_child(save_on_small_disk, 2 * library + 64 * 1024);
    EXPECT_EQ(result, 50 + WRITE_DISK_FULL) << "room for the new library, not for the backup";
}

TEST_F(RewriteSongbook, AKilledSaveLeavesTheOldOrTheNewLibrary)
{
    const int kills = 40;
    std::string old_lib = many_songs(2000);
    write_file(LIBRARY_FILE, old_lib);
    // one save to its end, timed, gives the new bytes and the span of a save
    EditSession session;
    open_editor(saving = &session, "SONG 2000", false);
    boxes.text = "a changed last song\r\nwith two lines";
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
            _exit(editor_save(&session));
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
    ASSERT_EQ(editor_save(&session), REWRITE_OK);
    EXPECT_FALSE(file_exists(TEMP_FILE));
}

// The songs of a library apart from the two titles named, for comparing what else changed.
std::string other_songs(const std::string& lib, const std::string& a, const std::string& b)
{
    std::string out;
    for (size_t at = 0, next; at < lib.size(); at = next) {
        next = lib.find("\n:::::", at + 1);
        next = next == std::string::npos ? lib.size() : next + 1;
        std::string song = lib.substr(at, next - at);
        if (song.find(":::: " + a + " ") == std::string::npos && song.find(":::: " + b + " ") == std::string::npos)
            out += song;
    }
    return out;
}

// Two programs save into one folder at the same instant, round after round: every
// save acknowledged is in the library, every refused one is not, and no other byte
// changes. Without the folder's lock both read the same library and one edit is lost.
TEST_F(RewriteSongbook, TwoProgramsSavingAtOnceLoseNoAcknowledgedEdit)
{
    write_file(LIBRARY_FILE, many_songs(3000));
    std::string others = other_songs(read_file(LIBRARY_FILE), "SONG 1", "SONG 3000");
    for (int round = 0; round < 12; round++) {
        int go[2];
        ASSERT_EQ(pipe(go), 0);
        pid_t kids[2];
        std::string texts[2];
        for (int k = 0; k < 2; k++) {
            texts[k] = "program " + std::to_string(k) + " round " + std::to_string(round);
            fflush(nullptr);
            if ((kids[k] = fork()) == 0) {
                EditSession session;
                open_editor(&session, k ? "SONG 3000" : "SONG 1", false);
                boxes.text = texts[k];
                char start;
                _exit(read(go[0], &start, 1) == 1 ? (int)editor_save(&session) : (int)CANNOT_PREPARE);
            }
        }
        usleep(50000);   // both editors open, then both save at once
        ASSERT_EQ(write(go[1], "gg", 2), 2);
        std::string lib;
        for (int k = 0; k < 2; k++) {
            int status = 0;
            waitpid(kids[k], &status, 0);
            int result = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            lib = read_file(LIBRARY_FILE);
            bool in = lib.find(texts[k] + " \r\n") != std::string::npos;
            EXPECT_TRUE(result == REWRITE_OK ? in : !in) << texts[k] << " result " << result;
        }
        close(go[0]), close(go[1]);
        EXPECT_TRUE(other_songs(lib, "SONG 1", "SONG 3000") == others) << "round " << round;
        EXPECT_FALSE(file_exists(TEMP_FILE));
    }
}

// A save that finds another program's lock waits, then says the library is busy
// and changes nothing; a lock file nobody holds (its program died) is taken over.
TEST_F(RewriteSongbook, AHeldLockMakesTheSaveWaitThenSayBusy)
{
    write_file(LIBRARY_FILE, many_songs(3));
    write_file(LOCK_FILE, "");
    EditSession session;
    open_editor(&session, "SONG 2", false);
    boxes.text = "changed";
    intptr_t held;
    int holder[2];
    ASSERT_EQ(pipe(holder), 0);
    pid_t pid = fork();
    if (pid == 0) {
        if (lock_take(LOCK_FILE, &held) == 1 && write(holder[1], "h", 1) == 1)
            pause();   // holds the lock until it is killed
        _exit(1);
    }
    char taken;
    ASSERT_EQ(read(holder[0], &taken, 1), 1);
    std::string before = read_file(LIBRARY_FILE);
    EXPECT_EQ(editor_save(&session), REWRITE_NOT_WRITTEN);
    EXPECT_EQ(session.write_error, WRITE_BUSY);
    EXPECT_NE(std::string(rewrite_message(REWRITE_NOT_WRITTEN, &session)).find("busy"), std::string::npos);
    EXPECT_TRUE(read_file(LIBRARY_FILE) == before);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(editor_save(&session), REWRITE_OK) << "the lock of a program that died is taken over";
}

}  // namespace
