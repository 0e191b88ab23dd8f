// The printed page: the letters a song prints in, its columns, which row goes where on which page.
#pragma once

#include "shell/shared_state.h"

// The viewer's own page, in device pixels: the title at (400, 200), row i at
// y 800 + i × the row's height, which is five times the viewer's cell.
enum { PRINT_SCALE = 5, PRINT_X = 400, PRINT_TITLE_Y = 200, PRINT_LINES_Y = 800 };

// The songbook page, in tenths of a millimetre and in points: margins about
// 12 mm, 6 mm between two columns, letters never shrunk below 8 points.
enum { MARGIN_TENTHS_MM = 120, GUTTER_TENTHS_MM = 60, FLOOR_POINTS = 8, HEADER_SIZE = 160 };

// What a row is for the page breaks and the ChordPro export.
enum RowKind : unsigned char {
    ROW_BLANK,   // nothing but blanks (or empty)
    ROW_LYRIC,   // words, or anything else not marked
    ROW_CHORD    // a marked chord row, as the transposer sees it
};

RowKind row_kind(const char* raw);
// kinds[i] = row_kind(raw[i]) for rows 0 to rows - 1 (at most 200).
void row_kinds(const char (*raw)[LINE_WIDTH], int rows, RowKind* kinds);

// Characters up to the last that is not a blank (99 at most): trailing blanks print nothing.
int printed_length(const char* row);

// What the page breaks need to know of a song's rows.
struct SongRows {
    int count;                   // 0 to 200
    RowKind kind[LINE_ROWS];
    bool label[LINE_ROWS];       // "Chorus:", "Verse 2:": words ending in ':', kept with the row after
    int widest;                  // the row reaching furthest right as shown, -1 when all are blank
};
// raw tells chord rows and labels, shown (as printed) the widths.
void song_rows(const char (*raw)[LINE_WIDTH], const char (*shown)[LINE_WIDTH], int count, SongRows* rows);

// The printer's page as GetDeviceCaps tells it, in device pixels.
struct PrinterPage {
    int paper_width, paper_height;            // PHYSICALWIDTH, PHYSICALHEIGHT
    int offset_x, offset_y;                   // PHYSICALOFFSETX, PHYSICALOFFSETY: the printable area on the paper
    int printable_width, printable_height;    // HORZRES, VERTRES
    int dpi_x, dpi_y;                         // LOGPIXELSX, LOGPIXELSY
};

// Where text may stand, in the printable area's pixels (the origin of MM_TEXT).
struct PageFrame {
    int left, top, right, bottom;
    int gutter;           // between two columns
    int floor_height;     // 8 points
};
// The margins 12 mm from the paper's edges (a tenth of a narrow label's
// width at most), never outside the printable area.
void page_frame(const PrinterPage* page, PageFrame* frame);

// CreateFont's height and width of the printer font. narrowed: at the 8-point
// floor the width alone was cut down to bring a row onto the page.
struct Letters {
    int height, width;
    bool narrowed;
};

// The extent of text in those letters, as the printer's own font draws it.
typedef int (*MeasureText)(void* printer, const Letters* letters, const char* text, int length);

// Letters for text that measured extent pixels: false when it fits room (or
// nothing can shrink any more); otherwise true with smaller letters to measure
// again, the shape kept down to the floor, then only the width cut.
bool shrink_letters(Letters* letters, int extent, int room, int floor_height);

// Shrinks the letters until text, measured, fits room: false when it never does.
bool fit_letters(Letters* letters, const char* text, int room, int floor_height, MeasureText measure, void* printer);

// How rows go onto pages: the header, then rows_per_column rows a column
// from rows_y, the columns side by side.
struct PagePlan {
    int title_x, title_y;
    int rows_y, row_height, rows_per_column;
    int columns, column_x[2];
    bool first_row_stays;   // the viewer's page prints row 0 where it stands, blank or not
};

// The viewer's page: title at (400, 200), rows from y 800 to the page's foot.
void viewer_plan(int printable_height, int row_height, PagePlan* plan);
// The songbook page: the header at the frame's top, the rows right below it.
void songbook_plan(const PageFrame* frame, int row_height, int columns, PagePlan* plan);

struct PageLayout {
    int pages;                // 1 at least
    int page[LINE_ROWS];      // page of row i, from 0; -1: a blank row left out at a column's top
    int x[LINE_ROWS];
    int y[LINE_ROWS];
};

// Rows follow each other down a column, then the next column, then the next
// page. A chord row and its words, and a label and its row, never part; a
// column never starts with a blank row. A group longer than a column breaks.
void lay_out_pages(const SongRows* rows, const PagePlan* plan, PageLayout* layout);

// A song as it prints: letters, header letters, plan and layout.
struct SongPrint {
    Letters letters;
    Letters header_letters;   // the rows' letters unless the longest header needs smaller ones
    PagePlan plan;
    PageLayout layout;
};

// The header of a page: the title and key change ("AMAZING GRACE  (+2)",
// key may be empty) on the first, "AMAZING GRACE (+2) — page 2 of 3" after
// (an em dash, 0x97 in Windows-1252).
void page_header(const char* title, const char* key, int page, int pages, char* buf, int size);

// A song on songbook pages: in the wanted letters unless its widest row would
// not fit, then the largest that fit; in two columns where it would not fit a
// page in one and its rows fit half the width at 8 points or more, and that
// takes fewer pages.
void plan_song(const SongRows* rows, const char (*shown)[LINE_WIDTH], const char* title, const char* key,
               const PageFrame* frame, Letters wanted, MeasureText measure, void* printer, SongPrint* print);

// A song on the viewer's own page when every row, the title and the headers of
// continuation pages end inside the printable width; false when one would be cut.
bool plan_viewer_page(const SongRows* rows, const char (*shown)[LINE_WIDTH], const char* title,
                      const PrinterPage* page, Letters letters, MeasureText measure, void* printer, SongPrint* print);
