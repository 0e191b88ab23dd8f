// Importing chosen files into the library: reading, converting, adding, and the summary for the user.
#pragma once

#include "chordpro/import_work.h"
#include "store/add_songs.h"

enum {
    IMPORT_FILES_MAX = 1000,       // files read in one import
    IMPORT_SUMMARY_SIZE = 4000
};

// One import's files, songs and summary: one named struct its caller owns (far
// too big for the 32-bit stack: a static in the caller).
struct ImportRun {
    ImportBatch batch;
    ImportWork work;
    AddSongsWork adding;
    unsigned char file_bytes[IMPORT_FILE_MAX + 1];
    FileVerdict verdicts[IMPORT_FILES_MAX];
    char summary[IMPORT_SUMMARY_SIZE];   // lines separated by "\r", for a message box
};

// Told before each file is read: done files of total are behind.
typedef void (*ImportProgress)(void* context, int done, int total);

// Imports the files (names inside folder, or whole paths when folder is empty)
// into the library as new songs in one safe replacement and leaves in
// run->summary how many songs were added, and each file or song left out and
// why. progress (may be null) is told of every file. Returns the number of
// songs added.
int import_song_files(ImportRun* run, const char* folder, const char* const* names, int count,
                      ImportProgress progress, void* context);
