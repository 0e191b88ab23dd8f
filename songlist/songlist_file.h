// The song list file "songlist.txt": the running order with each song's key change.
#pragma once

#include "shell/shared_state.h"

#define SONG_LIST_FILE "songlist.txt"

// Writes the song list box's rows and the key changes of song_list to the file;
// a file that cannot be created is reported in a message box owned by owner.
void write_song_list_file(UiWindow owner);

// Replaces the song list box's rows and song_list's titles and key changes with
// those of the file; a missing file is reported in a message box owned by owner.
void read_song_list_file(UiWindow owner);
