// Whole files for the native tests and the fuzz targets alike.
#pragma once

#include <string>

// Writes the bytes exactly (binary mode), replacing the file; a failure aborts,
// since no test means anything on a folder it cannot write its input into.
void write_file(const char* name, const std::string& bytes);
// The whole file's bytes; empty when it cannot be opened.
std::string read_file(const char* name);
bool file_exists(const char* name);
