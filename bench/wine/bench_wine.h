// What the Wine benchmarks share: a clock and a program started on a generated library.
#pragma once

#include <string>

#include "tests/gui/harness.h"

LARGE_INTEGER now_counter();
double ms_since(LARGE_INTEGER start);
// Starts the program on dir and waits until its title box holds all its songs; null if it did not come.
HWND start_with_titles(App& app, const std::string& dir, int songs);
// A fresh folder holding a generated library; *floor_ms: this program's own read of it.
std::string library_folder(int songs, std::string* library, double* floor_ms);
