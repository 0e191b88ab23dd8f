// The stage view's screens: a song at the largest letters a screen allows, in one or two columns.
#pragma once

#include "shell/shared_state.h"

enum {
    // To fit a whole song on one screen the letters may shrink down to a 30th of
    // the song area's height, and no further: below that a song goes on over
    // further screens instead, each holding 30 rows a column.
    STAGE_READABLE_ROWS = 30,
    // The header's letters are the size at which 100 of them fit across.
    STAGE_HEADER_COLUMNS = 100,
    STAGE_MAX_COLUMNS = 2,
    STAGE_HEADER_SIZE = 256
};

// Where each row of a song goes. Pixels of the screen, y downwards; a row's text
// starts at (x, y) with its first `indent` characters left out.
struct StageLayout {
    int letter_height, letter_width;   // the song's character cell
    int header_height, header_width;   // the header's character cell
    int header_x, header_y;
    int columns;                       // 1 or 2
    int screens;                       // 1 at least
    int first, last;                   // rows shown; last < first when the song has none
    int indent;                        // blanks in front of every row shown, not drawn
    int screen[LINE_ROWS];             // the screen of row i, from 0; -1: not drawn (a blank
                                       // row that would open a column)
    int x[LINE_ROWS], y[LINE_ROWS];
    // working rows of the layout, kept here so that the caller owns all its memory
    int length[LINE_ROWS];             // characters of row i up to its last non-blank
    bool with_words[LINE_ROWS];        // row i is a chord row over the words of row i + 1
    int column_width, gap, left, top, area_height;
};

// Lays out rows 0 to rows - 1 of a song (shown: as drawn, transposed; raw: as
// loaded, which tells the chord rows) on a screen of width x height pixels, for
// a font whose letters are `measure` thousandths of their height wide. The
// letters are the largest at which the widest row fits its column and, where
// that takes letters no smaller than STAGE_READABLE_ROWS allow, the whole song
// fits one screen; in two columns (max_columns 2) only when that gives larger
// letters, or as large in fewer screens. A chord row never parts from its words.
// Blank rows before the first and after the last words are left out.
void lay_out_stage(const char (*raw)[LINE_WIDTH], const char (*shown)[LINE_WIDTH], int rows, int width,
                   int height, int measure, int max_columns, StageLayout* layout);

// What the header line tells.
struct StageHeader {
    const char* title;
    int key_change;
    int screen, screens;        // screen from 0
    const char* next_title;     // the next song of the running order, or null
    int next_key_change;
    const char* armed_title;    // the song a second press goes to, or null
};

// The header line, e.g. "AMAZING GRACE   key +2   2/3   next: BE STILL key 0", or
// with "press again for BE STILL" in place of the next song while a press waits
// for its second. Cut to size - 1 characters.
void stage_header_text(const StageHeader* header, char* out, int size);
