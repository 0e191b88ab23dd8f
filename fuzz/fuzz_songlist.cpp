// Fuzz target of the song list file: arbitrary "songlist.txt" bytes read, the
// list saved again and read back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "shell/shared_state.h"
#include "songlist/songlist_file.h"
#include "store/record.h"
#include "tests/support/fake_ui.h"

namespace {

char work_dir[] = "/tmp/cantoria-fuzz-songlist-XXXXXX";
UiWindow const OWNER = (UiWindow)0x4711;

// What the first read produced, to compare the read after the save with.
char first_rows[SONG_LIST_SIZE][TITLE_SIZE];
int32_t first_keys[SONG_LIST_SIZE];

// libFuzzer keeps relative corpus paths: the work folder is the current
// directory only while one input runs, and crash files go to the starting folder.
int home_dir = -1;
char artifact_flag[4200] = "-artifact_prefix=";
char* fuzz_args[260];

void enter_work_dir()
{
    if (chdir(work_dir) != 0)
        abort();
}

void leave_work_dir()
{
    if (fchdir(home_dir) != 0)
        abort();
}

void remove_work_dir()
{
    enter_work_dir();
    remove(SONG_LIST_FILE);
    leave_work_dir();
    rmdir(work_dir);
}

void check_table()
{
    if (state.song_count < 0 || state.song_count > SONG_LIST_SIZE)
        abort();
    for (int i = 0; i < SONG_LIST_SIZE; i++) {
        if (!memchr(state.song_list[i].title, 0, TITLE_SIZE))
            abort();
    }
    // the fields behind the table are never written
    if (state.edit_song_pos != -1 || state.edit_truncated != 0)
        abort();
    if (fake_ui.message_count != 0)
        abort();
}

// Unless the command line names one, crash files go to the starting folder.
void add_artifact_prefix(int* argc, char*** argv)
{
    if (*argc >= 256)
        return;
    for (int i = 0; i < *argc; i++) {
        if (strncmp((*argv)[i], "-artifact_prefix=", 17) == 0)
            return;
    }
    size_t at = strlen(artifact_flag);
    if (!getcwd(artifact_flag + at, sizeof artifact_flag - at - 1))
        return;
    strcat(artifact_flag, "/");
    for (int i = 0; i < *argc; i++)
        fuzz_args[i] = (*argv)[i];
    fuzz_args[(*argc)++] = artifact_flag;
    fuzz_args[*argc] = nullptr;
    *argv = fuzz_args;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    home_dir = open(".", O_RDONLY | O_DIRECTORY);
    if (home_dir < 0 || !mkdtemp(work_dir))
        abort();
    atexit(remove_work_dir);
    add_artifact_prefix(argc, argv);
    return 0;
}

static void run_input(const uint8_t* data, size_t size)
{
    reset_shared_state();
    fake_ui_reset();
    FILE* f = fopen(SONG_LIST_FILE, "wb");
    if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0)
        abort();

    read_song_list_file(OWNER);
    check_table();
    if (fake_ui.song_resets != 1 || fake_ui.song_rows > fake_ui.beeps)
        abort();
    int rows = fake_ui.song_rows < SONG_LIST_SIZE ? fake_ui.song_rows : SONG_LIST_SIZE;
    for (int i = 0; i < rows; i++) {
        // a row is a trimmed title in capitals; saving and loading drops one leading blank
        if (strlen(fake_ui.songs[i]) >= TITLE_SIZE)
            abort();
        const char* row = fake_ui.songs[i];
        copy_bounded(first_rows[i], TITLE_SIZE, row[0] == ' ' ? row + 1 : row);
    }

    write_song_list_file(OWNER);
    check_table();
    if (state.song_count != rows)
        abort();
    for (int i = 0; i < SONG_LIST_SIZE; i++)
        first_keys[i] = state.song_list[i].key_change;

    fake_ui_reset();
    read_song_list_file(OWNER);
    check_table();
    if (fake_ui.song_rows != rows || state.song_count != rows || fake_ui.beeps != rows)
        abort();
    for (int i = 0; i < rows; i++) {
        if (strcmp(fake_ui.songs[i], first_rows[i]) != 0 || strcmp(state.song_list[i].title, first_rows[i]) != 0)
            abort();
    }
    for (int i = 0; i < SONG_LIST_SIZE; i++) {
        if (state.song_list[i].key_change != first_keys[i])
            abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    enter_work_dir();
    run_input(data, size);
    leave_work_dir();
    return 0;
}
