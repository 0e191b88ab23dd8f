// The printed page: which row of a song goes on which page, at which height.
#pragma once

#include "shell/shared_state.h"

// Device pixels of a printed page: the title at (400, 200), row i of a page at
// y 800 + i × the row's height, which is five times the viewer's cell.
enum { PRINT_SCALE = 5, PRINT_X = 400, PRINT_TITLE_Y = 200, PRINT_LINES_Y = 800 };

// What a row is for the page breaks and the ChordPro export.
enum RowKind : unsigned char {
    ROW_BLANK,   // nothing but blanks (or empty)
    ROW_LYRIC,   // words, or anything else not marked
    ROW_CHORD    // a marked chord row, as the transposer sees it
};

RowKind row_kind(const char* raw);
// kinds[i] = row_kind(raw[i]) for rows 0 to rows - 1 (at most 200).
void row_kinds(const char (*raw)[LINE_WIDTH], int rows, RowKind* kinds);

struct PageLayout {
    int pages;                // 1 at least
    int page[LINE_ROWS];      // page of row i, from 0
    int y[LINE_ROWS];         // its y on that page
};

// Lays out rows (at most 200) on pages page_height pixels high, each row
// cell_height high: rows follow each other from y 800 and a row that would end
// below the page starts a new one, so a song that fits keeps the one-page
// positions. A chord row whose lyric row would fall onto the next page goes
// there with it. A page always takes at least one row, whatever the sizes.
void lay_out_pages(const RowKind* kinds, int rows, int page_height, int cell_height, PageLayout* layout);
