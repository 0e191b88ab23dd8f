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
#include "tests/support/fuzz_work_dir.h"

namespace {

UiWindow const OWNER = (UiWindow)0x4711;

// What the first read produced, to compare the read after the save with.
char first_rows[SONG_LIST_SIZE][TITLE_SIZE];
int32_t first_keys[SONG_LIST_SIZE];

void check_table()
{
    if (state.song_count < 0 || state.song_count > SONG_LIST_SIZE)
        abort();
    for (int i = 0; i < SONG_LIST_SIZE; i++) {
        if (!memchr(state.song_list[i].title, 0, TITLE_SIZE))
            abort();
    }
    if (fake_ui.message_count != 0)
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static const char* const files[] = {SONG_LIST_FILE, nullptr};
    fuzz_work_dir_init(argc, argv, "/tmp/cantoria-fuzz-songlist-XXXXXX", files);
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
