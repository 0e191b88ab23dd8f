// Importing chosen files into the library: reading, converting, adding, and the summary for the user.
#pragma once

#include "shell/shared_state.h"

enum {
    IMPORT_FILES_MAX = 1000,       // files read in one import
    IMPORT_SUMMARY_SIZE = 4000
};

// Imports the files (names inside folder, or whole paths when folder is empty)
// into the library as new songs in one safe replacement, refills the title box
// of the given home dialog when songs were added, and shows the summary box
// "IMPORT" owned by it: how many songs were added, and each file or song left
// out and why. Returns the number of songs added.
int import_song_files(UiWindow dialog, const char* folder, const char* const* names, int count);

// The summary text of the last import, lines separated by "\r".
const char* import_summary();
