// The stage view's screens: a song at the largest letters a screen allows, in one or two columns.
#include "layout/stage_layout.h"

#include <cstdio>

#include "layout/service_pages.h"
#include "store/book_format.h"

// A font's letters are measure thousandths of their height wide, never less than a pixel.
static int letter_width(int height, int measure)
{
    int width = height * measure / 1000;
    return width > 0 ? width : 1;
}

// The tallest letters whose width is at most `width` pixels (1 when none is that narrow).
static int height_for_width(int width, int measure)
{
    if (width < 1)
        return 1;
    return ((width + 1) * 1000 - 1) / measure;
}

// Rows as drawn: each row's length up to its last non-blank, the rows between the
// first and the last words, the blanks every one of them starts with, and which
// chord rows stand over words.
static void measure_rows(const char (*raw)[LINE_WIDTH], const char (*shown)[LINE_WIDTH], int rows,
                         StageLayout* layout)
{
    layout->first = 0;
    layout->last = -1;
    layout->indent = LINE_WIDTH;
    for (int i = 0; i < rows; i++) {
        int length = 0, lead = -1;
        for (int c = 0; c < LINE_WIDTH - 1 && shown[i][c]; c++)
            if (shown[i][c] != ' ') {
                length = c + 1;
                lead = lead < 0 ? c : lead;
            }
        layout->length[i] = length;
        layout->screen[i] = -1;
        if (length == 0)
            continue;
        if (layout->last < 0)
            layout->first = i;
        layout->last = i;
        layout->indent = lead < layout->indent ? lead : layout->indent;
    }
    if (layout->last < 0)
        layout->indent = 0;
    for (int i = layout->first; i <= layout->last; i++)
        layout->with_words[i] = i < layout->last && is_chord_row(raw[i], ROW_COLUMNS) &&
                                layout->length[i + 1] > 0 && !is_chord_row(raw[i + 1], ROW_COLUMNS);
}

static int widest_row(const StageLayout* layout)
{
    int widest = 1;
    for (int i = layout->first; i <= layout->last; i++)
        if (layout->length[i] - layout->indent > widest)
            widest = layout->length[i] - layout->indent;
    return widest;
}

// Places the rows in columns of `per_column` rows, `height` pixels apart, filling
// column after column, screen after screen; returns the columns used. A chord row
// whose words would open the next column opens it itself; a blank row never does.
static int place_rows(StageLayout* layout, int per_column, int height, int columns)
{
    int column = 0, on = 0;
    for (int i = layout->first; i <= layout->last; i++) {
        int need = layout->with_words[i] ? 2 : 1;
        if (on > 0 && on + need > per_column) {
            column++;
            on = 0;
        }
        if (on == 0 && layout->length[i] == 0) {
            layout->screen[i] = -1;
            continue;
        }
        layout->screen[i] = column / columns;
        layout->x[i] = layout->left + column % columns * (layout->column_width + layout->gap);
        layout->y[i] = layout->top + on * height;
        on++;
    }
    return column + 1;
}

// The header line at the top left, its letters the size at which 100 fit across;
// the song area below it, with a margin of a 64th of the screen around. Returns
// the song area's width.
static int place_header(int width, int height, int measure, StageLayout* layout)
{
    int margin_x = width / 64, margin_y = height / 64;
    int inner = width - 2 * margin_x > 1 ? width - 2 * margin_x : 1;
    int header = height_for_width(inner / STAGE_HEADER_COLUMNS, measure);
    if (header > height / 24)
        header = height / 24 > 0 ? height / 24 : 1;
    layout->header_height = header;
    layout->header_width = letter_width(header, measure);
    layout->header_x = margin_x;
    layout->header_y = margin_y;
    layout->left = margin_x;
    layout->top = margin_y + header + header / 2;
    layout->area_height = height - layout->top - margin_y > 1 ? height - layout->top - margin_y : 1;
    layout->gap = inner / 24;
    return inner;
}

// The letters for `columns` columns: as tall as the widest row lets them be, and
// as tall as fits the whole song on one screen unless that is below the readable
// least, where they keep that least and the song goes on over further screens.
static int letters_for(StageLayout* layout, int columns, int measure, int widest, int readable)
{
    int rows = layout->last - layout->first + 1;
    int per_column = (rows + columns - 1) / columns;
    for (int i = layout->first; i <= layout->last && per_column < 2; i++)
        if (layout->with_words[i])
            per_column = 2;   // a column of one row would part a chord row from its words
    while (per_column < rows && place_rows(layout, per_column, 1, columns) > columns)
        per_column++;
    int whole = layout->area_height / per_column;
    int height = whole >= readable ? whole : readable;
    int by_width = height_for_width(layout->column_width / widest, measure);
    height = by_width < height ? by_width : height;
    return height > 0 ? height : 1;
}

// Rows a column holds at letters of this height.
static int rows_per_column(const StageLayout* layout, int height)
{
    return layout->area_height / height > 0 ? layout->area_height / height : 1;
}

void lay_out_stage(const char (*raw)[LINE_WIDTH], const char (*shown)[LINE_WIDTH], int rows, int width,
                   int height, int measure, int max_columns, StageLayout* layout)
{
    rows = rows < 0 ? 0 : rows > LINE_ROWS ? LINE_ROWS : rows;
    measure = measure < 200 ? 200 : measure > 2000 ? 2000 : measure;
    width = width > 0 ? width : 1;
    height = height > 0 ? height : 1;
    max_columns = max_columns < 1 ? 1 : max_columns > STAGE_MAX_COLUMNS ? STAGE_MAX_COLUMNS : max_columns;
    measure_rows(raw, shown, rows, layout);
    int inner = place_header(width, height, measure, layout);
    int readable = layout->area_height / STAGE_READABLE_ROWS > 0 ? layout->area_height / STAGE_READABLE_ROWS : 1;
    int widest = widest_row(layout);
    int best_height = 0, best_screens = 0, best_columns = 1;
    for (int columns = 1; columns <= max_columns && layout->last >= layout->first; columns++) {
        layout->column_width = (inner - layout->gap * (columns - 1)) / columns;
        int letters = letters_for(layout, columns, measure, widest, readable);
        int used = place_rows(layout, rows_per_column(layout, letters), letters, columns);
        int screens = (used + columns - 1) / columns;
        if (letters > best_height || (letters == best_height && screens < best_screens)) {
            best_height = letters;
            best_screens = screens;
            best_columns = columns;
        }
    }
    if (best_height == 0)
        best_height = readable;
    layout->columns = best_columns;
    layout->letter_height = best_height;
    layout->letter_width = letter_width(best_height, measure);
    layout->column_width = (inner - layout->gap * (best_columns - 1)) / best_columns;
    int used = layout->last >= layout->first ? place_rows(layout, rows_per_column(layout, best_height), best_height,
                                                          best_columns) : 1;
    layout->screens = (used + best_columns - 1) / best_columns;
}

void stage_header_text(const StageHeader* header, char* out, int size)
{
    if (size <= 0)
        return;
    char key[16], next_key[16];
    key_change_text(header->key_change, key, sizeof key);
    key_change_text(header->next_key_change, next_key, sizeof next_key);
    int n = snprintf(out, (size_t)size, "%s   key %s   %d/%d", header->title, key, header->screen + 1,
                     header->screens);
    if (n < 0 || n >= size)
        return;
    if (header->armed_title)
        snprintf(out + n, (size_t)(size - n), "   press again for %s", header->armed_title);
    else if (header->next_title)
        snprintf(out + n, (size_t)(size - n), "   next: %s key %s", header->next_title, next_key);
}
