// The whole song list of a home dialog printed, or exported as one ChordPro file.
#pragma once

#include <windows.h>

// "Print List": one print dialog, then one job: the running order page and
// every song of the dialog's song list box in its key, each from a new page.
void print_song_list(HWND dialog);

// "Export List": a save dialog, then the song list as one ChordPro file.
void export_song_list_as(HWND dialog);
