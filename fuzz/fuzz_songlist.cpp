// Fuzz target of the song list file: any "songlist.txt" read, the list saved
// again and read back, which must give the same rows and key changes.
#include <cstring>

#include "shell/shared_state.h"
#include "songlist/songlist_file.h"
#include "store/record.h"
#include "tests/support/fake_ui.h"
#include "tests/support/fuzz_work_dir.h"

namespace {

UiWindow const OWNER = (UiWindow)0x4711;

// Reads the file and checks the table; returns the rows the list box got.
int read_and_check()
{
    fake_ui_reset();
    read_song_list_file(OWNER);
    fuzz_check(state.song_count >= 0 && state.song_count <= SONG_LIST_SIZE, "entry count out of range");
    for (const SongListEntry& e : state.song_list)
        fuzz_check(memchr(e.title, 0, TITLE_SIZE) != nullptr, "an unterminated title");
    fuzz_check(fake_ui.message_count == 0 && fake_ui.song_resets == 1, "a read that fails or does not reset");
    fuzz_check(fake_ui.song_rows <= fake_ui.beeps && fake_ui.song_rows <= SONG_LIST_SIZE, "rows beyond the table");
    return fake_ui.song_rows;
}

void fuzz_one(const uint8_t* data, size_t size)
{
    reset_shared_state();
    write_file(SONG_LIST_FILE, std::string((const char*)data, size));
    int rows = read_and_check();
    // saving and loading again drops one leading blank of each row
    char first[SONG_LIST_SIZE][TITLE_SIZE];
    for (int i = 0; i < rows; i++)
        copy_bounded(first[i], TITLE_SIZE, fake_ui.songs[i] + (fake_ui.songs[i][0] == ' '));
    write_song_list_file(OWNER);
    fuzz_check(state.song_count == rows && fake_ui.message_count == 0, "the save lost entries");
    SongListEntry saved[SONG_LIST_SIZE];
    memcpy(saved, state.song_list, sizeof saved);
    fuzz_check(read_and_check() == rows && state.song_count == rows && fake_ui.beeps == rows, "rows differ read back");
    for (int i = 0; i < rows; i++)
        fuzz_check(strcmp(fake_ui.songs[i], first[i]) == 0 && strcmp(state.song_list[i].title, first[i]) == 0,
                   "a title differs read back");
    for (int i = 0; i < SONG_LIST_SIZE; i++)
        fuzz_check(state.song_list[i].key_change == saved[i].key_change, "a key change differs read back");
}

}  // namespace

FUZZ_IN_WORK_DIR("/tmp/cantoria-fuzz-songlist-XXXXXX")
