// The song list file "songlist.txt": the running order with each song's key change.
#pragma once

#include "shell/shared_state.h"

#define SONG_LIST_FILE "songlist.txt"

// Writes the rows of the song list box of the dialog owner and the key changes
// of song_list to the file; a file that cannot be created is reported in a
// message box owned by owner.
void write_song_list_file(UiWindow owner);

// Replaces the rows of the song list box of the dialog owner and song_list's
// titles and key changes with those of the file; a missing file is reported in
// a message box owned by owner.
void read_song_list_file(UiWindow owner);
