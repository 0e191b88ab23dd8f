// Chord line transposition: display_lines rebuilt from raw_lines by a number of half steps.
#pragma once

#include "shell/shared_state.h"

// Rebuilds display rows 0 to line_count - 1 from the raw rows, every chord row
// (is_chord_row) transposed by half_steps.
void transpose_song(int half_steps);

// The same for tables of the caller's own (printing and exporting a song list
// leave the viewer's song alone): shown rows 0 to rows - 1 rebuilt from raw.
void transpose_lines(const char (*raw)[LINE_WIDTH], char (*shown)[LINE_WIDTH], int rows, int half_steps);
