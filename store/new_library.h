// The library written at the first run: comment lines and the example song.
#pragma once

#include <cstdio>

enum NewLibraryResult {
    LIBRARY_PRESENT = 0,        // songbook.cnr exists and can be read: nothing done
    LIBRARY_CREATED,            // a new library with the example song was written
    LIBRARY_UNREADABLE,         // songbook.cnr exists but cannot be opened: left alone
    LIBRARY_NOT_CREATED         // the new library could not be created or written
};

// Writes the 20 lines of the example song; returns 0, or -1 when a write failed.
int write_example_song(FILE* file);

// At start-up: leaves an existing library alone, creates a new one only when no
// file of that name exists at all.
NewLibraryResult ensure_library(const char* name);

// The text shown to the user for LIBRARY_UNREADABLE and LIBRARY_NOT_CREATED.
const char* new_library_message(NewLibraryResult result);
