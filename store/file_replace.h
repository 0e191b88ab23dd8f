// Replacing the library safely: one step with a Win32 and a POSIX body.
#pragma once

#include <cstdio>

// Flushes an open output file to the disk; returns 0, or -1 on failure.
int flush_to_disk(FILE* file);

// Makes backup a byte-for-byte copy of target, then moves temp over target in one
// step, so that at every moment a complete target exists. Returns 0, or -1 when
// any step failed; target is then unchanged (temp is left for the caller to remove).
int replace_with_backup(const char* target, const char* temp, const char* backup);

// Moves temp over target in one step (target need not exist), so that target is
// either the old file or the whole new one. Returns 0, or -1 with target unchanged.
int replace_file(const char* target, const char* temp);
