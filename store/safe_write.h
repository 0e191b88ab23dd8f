// The one way the program writes a file: whole under a temporary name, flushed, moved into place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "store/file_replace.h"

enum {
    SAFE_PATH_SIZE = 1040,     // a path of up to 1024 characters and a suffix
    LOCK_WAIT_MS = 4000        // how long a save waits for another program's save
};

#define LOCK_FILE "cantoria.lck"

// One file being written. Between safe_write_begin and safe_write_commit (or
// safe_write_abandon) the lock of the target's folder is held, so that no two
// programs ever interleave their saves into one folder; a save reads what it
// replaces inside that time. The first failure is kept and every later step
// does nothing, so a caller may write on and look once at the end.
struct SafeWrite {
    FILE* file;                     // the temporary file; null when it could not be made
    char target[SAFE_PATH_SIZE];
    char temp[SAFE_PATH_SIZE];
    intptr_t lock;
    int locked;
    WriteResult result;
};

// Takes the folder's lock (waiting up to LOCK_WAIT_MS for another program) and
// creates the temporary file: temp, or target with ".tmp" added when temp is
// null. Returns WRITE_OK, or the cause (WRITE_BUSY: another program kept the
// lock); then nothing is held and nothing was made.
WriteResult safe_write_begin(SafeWrite* w, const char* target, const char* temp);

bool safe_write_bytes(SafeWrite* w, const void* bytes, size_t n);
bool safe_write_text(SafeWrite* w, const char* text);

// Flushes and closes the temporary file; when backup is given, makes it a whole
// copy of the target as it is now (written under its own temporary name and
// moved into place, never read-only); then moves the temporary file over the
// target. On any failure the target and the backup are exactly as they were and
// no temporary file remains. Releases the lock. Returns WRITE_OK or the cause.
WriteResult safe_write_commit(SafeWrite* w, const char* backup);

// Gives the write up: removes the temporary file and releases the lock.
void safe_write_abandon(SafeWrite* w);

// The cause in words, for a message ("the disk is full").
const char* write_failure_text(WriteResult result);

// Whether path names one of the program's own files in its folder (the
// library, its backup, its working copy, its lock, and with song_list the song
// list too), compared without regard to case as Windows names are. path and
// folder are full paths; folder ends without a separator.
bool is_own_file(const char* path, const char* folder, bool song_list);
