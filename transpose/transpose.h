// Chord line transposition: display_lines rebuilt from raw_lines by a number of half steps.
#pragma once

#include "shell/shared_state.h"

// Rebuilds display rows 0 to line_count - 1 from the raw rows, every marked
// chord row ('<' anywhere) transposed in place by half_steps.
void transpose_song(int half_steps);

// The same for tables of the caller's own (printing and exporting a song list
// leave the viewer's song alone): shown rows 0 to rows - 1 rebuilt from raw.
void transpose_lines(const char (*raw)[LINE_WIDTH], char (*shown)[LINE_WIDTH], int rows, int half_steps);

// Number of characters before the first blank, terminator or '<' among the first
// ten at text; 1 when none of the ten is one of them.
int chord_length(const char* text);

// Copies the characters of chord into row from column on, one for one, with no
// terminator; never writes past the row's 99th character.
void put_chord(char* row, const char* chord, int column);
