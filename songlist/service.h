// The whole song list of a home dialog printed, or exported as one ChordPro file.
#pragma once

#include <windows.h>

#include "shell/shared_state.h"

// The service of a home dialog: the rows of its song list box as it shows them
// (at most 30), each with its entry's key change as Run plays it. Returns the count.
int read_service(HWND dialog, SongListEntry* songs);

// "Print List": one print dialog, then one job: the running order page and
// every song of the dialog's song list box in its key, each from a new page.
void print_song_list(HWND dialog);

// "Export List": a save dialog, then the song list as one ChordPro file.
void export_song_list_as(HWND dialog);
