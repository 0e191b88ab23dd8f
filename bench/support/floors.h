// The floors every benchmark is measured against in the same run: the library
// file read once, and copied once and flushed to the disk.
#pragma once

#include <cstddef>

// The file's size in bytes (0 when it cannot be read).
long file_size(const char* name);
// Every byte of the file through a plain buffered read; returns the bytes read.
size_t read_plain(const char* name);
// The file written once more under another name and flushed to the disk: the
// least that a safe replacement of the library does.
void copy_flushed(const char* from, const char* to);

// Writes the generated library of this many songs, unless it is there already.
void use_library(int songs);
// The next use_library writes the library afresh (after a benchmark changed it).
void forget_library();
// The main of a benchmark program: runs the benchmarks in a fresh folder on the
// disk made from pattern, and removes the library, files and the folder after.
int run_in_folder(int argc, char** argv, const char* pattern, const char* const* files);
