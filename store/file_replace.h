// The platform's file steps under the safe writer: flush, atomic move, folder lock, error causes.
#pragma once

#include <cstdint>
#include <cstdio>

// Why writing a file failed, as the user is told it.
enum WriteResult {
    WRITE_OK = 0,
    WRITE_DISK_FULL,          // no space left on the disk
    WRITE_READ_ONLY,          // the file or the folder is read-only, or access is denied
    WRITE_IN_USE,             // another program holds the file open
    WRITE_BUSY,               // another program is saving into the same folder right now
    WRITE_OWN_FILE,           // the name is one of the program's own files
    WRITE_FAILED              // any other cause
};

// Flushes an open output file to the disk; returns 0, or -1 on failure.
int flush_to_disk(FILE* file);

// Moves temp over target in one step (target need not exist), so that target is
// either the old file or the whole new one. Returns 0, or -1 with target unchanged.
int replace_file(const char* target, const char* temp);

// The cause of the file operation that failed last on this thread.
WriteResult last_file_error();

// Takes the lock file lock_name so that no other program holds it at the same
// time; a lock left by a program that ended is taken over. Returns 1 when taken
// (*handle then names it), 0 when another program holds it, -1 when it cannot be
// made at all (last_file_error tells why).
int lock_take(const char* lock_name, intptr_t* handle);
void lock_release(intptr_t handle);

// Clears a read-only mark of a file of the program's own, so that it can be replaced.
void make_writable(const char* name);

// Waits about ms milliseconds.
void pause_ms(int ms);
