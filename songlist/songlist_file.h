// The song list file "songlist.txt": the running order with each song's key change.
#pragma once

#include "shell/shared_state.h"
#include "store/safe_write.h"

#define SONG_LIST_FILE "songlist.txt"

// Writes the list (titles and key changes of count entries, at most 30) to the
// file through the safe writer: the old file stays whole until the new one is.
// Returns WRITE_OK or the cause of the failure.
WriteResult write_song_list_file(const SongListEntry* songs, int count);

// What reading the file gives the song list box: its rows in file order, and
// how many SONG lines it met (the dialog beeps once for each).
struct SongListRows {
    int count;
    int song_lines;
    char title[SONG_LIST_SIZE][TITLE_SIZE];
};

// Reads the file into the table songs (by number, song_count set to the highest
// SONG number) and rows (in file order). Returns 0, or -1 when the file cannot
// be opened (song_count is then 0 and rows empty).
int read_song_list_file(SongListEntry* songs, int32_t* song_count, SongListRows* rows);
