// Fuzz target of the song list file: any "songlist.txt" read, the list saved
// again and read back, which must give the same rows and key changes.
#include <cstring>

#include "shell/shared_state.h"
#include "songlist/songlist_file.h"
#include "store/record.h"
#include "tests/support/fuzz_work_dir.h"

namespace {

SongListRows rows;

// Reads the file and checks the table; returns the rows the list box would get.
int read_and_check()
{
    fuzz_check(read_song_list_file(state.song_list, &state.song_count, &rows) == 0, "a read that fails");
    fuzz_check(state.song_count >= 0 && state.song_count <= SONG_LIST_SIZE, "entry count out of range");
    for (const SongListEntry& e : state.song_list)
        fuzz_check(memchr(e.title, 0, TITLE_SIZE) != nullptr, "an unterminated title");
    fuzz_check(rows.count <= rows.song_lines && rows.count <= SONG_LIST_SIZE, "rows beyond the table");
    return rows.count;
}

void fuzz_one(const uint8_t* data, size_t size)
{
    reset_shared_state();
    write_file(SONG_LIST_FILE, std::string((const char*)data, size));
    int count = read_and_check();
    // saving and loading again drops one leading blank of each row
    char first[SONG_LIST_SIZE][TITLE_SIZE];
    for (int i = 0; i < count; i++) {
        copy_bounded(first[i], TITLE_SIZE, rows.title[i] + (rows.title[i][0] == ' '));
        copy_bounded(state.song_list[i].title, TITLE_SIZE, rows.title[i]);   // as Save List takes the list box
    }
    fuzz_check(write_song_list_file(state.song_list, count) == WRITE_OK, "the save failed");
    SongListEntry saved[SONG_LIST_SIZE];
    memcpy(saved, state.song_list, sizeof saved);
    fuzz_check(read_and_check() == count && state.song_count == count && rows.song_lines == count,
               "rows differ read back");
    for (int i = 0; i < count; i++)
        fuzz_check(strcmp(rows.title[i], first[i]) == 0 && strcmp(state.song_list[i].title, first[i]) == 0,
                   "a title differs read back");
    for (int i = 0; i < SONG_LIST_SIZE; i++)
        fuzz_check(state.song_list[i].key_change == saved[i].key_change, "a key change differs read back");
}

}  // namespace

FUZZ_IN_WORK_DIR("/tmp/cantoria-fuzz-songlist-XXXXXX")
