// The printed page: which row of a song goes on which page, at which height.
#include "store/book_format.h"
#include "layout/page_layout.h"

#include "transpose/transpose.h"

RowKind row_kind(const char* raw)
{
    if (is_chord_row(raw, ROW_COLUMNS))
        return ROW_CHORD;
    for (int i = 0; i < LINE_WIDTH - 1 && raw[i]; i++)
        if (raw[i] != ' ')
            return ROW_LYRIC;
    return ROW_BLANK;
}

void row_kinds(const char (*raw)[LINE_WIDTH], int rows, RowKind* kinds)
{
    for (int i = 0; i < rows && i < LINE_ROWS; i++)
        kinds[i] = row_kind(raw[i]);
}

// A chord row standing over its words: the two belong on one page.
static bool holds_words_below(const RowKind* kinds, int rows, int row)
{
    return kinds[row] == ROW_CHORD && row + 1 < rows && kinds[row + 1] == ROW_LYRIC;
}

void lay_out_pages(const RowKind* kinds, int rows, int page_height, int cell_height, PageLayout* layout)
{
    if (rows > LINE_ROWS)
        rows = LINE_ROWS;
    if (cell_height < 1)
        cell_height = 1;
    int page = 0;
    int on_page = 0;            // rows already on this page
    for (int row = 0; row < rows; row++) {
        int y = PRINT_LINES_Y + on_page * cell_height;
        bool overflows = y + cell_height > page_height;
        bool words_overflow = holds_words_below(kinds, rows, row) && y + 2 * cell_height > page_height;
        // the first row of a page stays, or a huge cell would never find a page
        if (on_page > 0 && (overflows || words_overflow)) {
            page++;
            on_page = 0;
            y = PRINT_LINES_Y;
        }
        layout->page[row] = page;
        layout->y[row] = y;
        on_page++;
    }
    layout->pages = page + 1;
}
