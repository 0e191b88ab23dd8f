// A chord row and the lyric row beneath it, marked and broken to the viewer's width together.
#include "chordpro/import_work.h"

#include <cstring>

#include "store/book_format.h"
#include "transpose/chord_row.h"

void clear_pair(RowPair* pair, int gap)
{
    pair->count = 0;
    pair->texts_used = 0;
    pair->lyric_len = 0;
    pair->lyric[0] = 0;
    pair->gap = gap;
}

void add_item(RowPair* pair, int col, const char* text, int len, bool chord)
{
    if (pair->count >= PAIR_ITEMS_MAX || pair->texts_used + len > IMPORT_LINE_MAX)
        return;
    memcpy(pair->texts + pair->texts_used, text, (size_t)len);
    pair->items[pair->count++] = ChordItem{col, len, pair->texts_used, chord};
    pair->texts_used += len;
}

void set_lyric(RowPair* pair, const char* text, int len)
{
    if (len > IMPORT_LINE_MAX)
        len = IMPORT_LINE_MAX;
    memcpy(pair->lyric, text, (size_t)len);
    pair->lyric[len] = 0;
    pair->lyric_len = trimmed_length(pair->lyric, len);
}

// The columns of items [first, last) in a row whose lyric starts at `start`:
// where they stood, moved right only where they would come closer than the gap
// to the item before (only items a break has moved can). Returns the chord
// row's length with its mark.
static int place_items(ImportWork* cv, int first, int last, int start)
{
    int end = 0;
    int last_chord = -1;
    for (int i = first; i < last; i++) {
        int col = cv->pair.items[i].col - start;
        if (i > first && col < end + cv->pair.gap)
            col = end + cv->pair.gap;
        if (col < 0)
            col = 0;
        cv->pair.cols[i] = col;
        end = col + cv->pair.items[i].len;
        if (cv->pair.items[i].chord)
            last_chord = i;
    }
    // a mark behind the last item adds a column; one behind an earlier chord takes a blank
    return last_chord >= 0 && last_chord == last - 1 ? end + 1 : end;
}

// The chord row of items [first, last) as place_items placed them, marked.
static void write_chord_row(ImportWork* cv, int first, int last, int start)
{
    if (last <= first)
        return;
    place_items(cv, first, last, start);
    char row[IMPORT_ROW_MAX + 1];
    memset(row, ' ', sizeof row);
    int len = 0;
    int mark = -1;
    for (int i = first; i < last; i++) {
        const ChordItem& item = cv->pair.items[i];
        for (int k = 0; k < item.len && cv->pair.cols[i] + k < IMPORT_ROW_MAX; k++)
            row[cv->pair.cols[i] + k] = cv->pair.texts[item.text + k];
        int end = cv->pair.cols[i] + item.len;
        if (end > len)
            len = end < IMPORT_ROW_MAX ? end : IMPORT_ROW_MAX;
        if (item.chord)
            mark = end;
    }
    if (mark >= 0) {
        if (mark > IMPORT_ROW_MAX - 1)
            mark = IMPORT_ROW_MAX - 1;
        row[mark] = '<';
        if (mark + 1 > len)
            len = mark + 1;
    }
    put_row(cv, row, len, true);
}

static bool holds_text(ImportWork* cv, int from, int len)
{
    for (int i = 0; i < len; i++) {
        if (cv->pair.lyric[from + i] != ' ')
            return true;
    }
    return false;
}

// Chooses where a pair that does not fit is broken: at a blank between words of
// the lyric (or its end) no further than 99 columns on, such that the chords
// standing before it fit in their row with the mark. *last receives the end of
// those chords. Where no such blank exists the lyric is cut at 99 columns and the
// chords that fit go with it.
static int choose_break(ImportWork* cv, int first, int start, int left, int* last)
{
    int widest = left < IMPORT_ROW_MAX ? left : IMPORT_ROW_MAX;
    for (int b = widest; b >= 1; b--) {
        if (start + b < cv->pair.lyric_len && cv->pair.lyric[start + b] != ' ')
            continue;
        if (!holds_text(cv, start, b))
            continue;
        int end = first;
        while (end < cv->pair.count && cv->pair.items[end].col < start + b)
            end++;
        if (place_items(cv, first, end, start) <= IMPORT_ROW_MAX) {
            *last = end;
            return b;
        }
    }
    int end = first;
    while (end < cv->pair.count && (widest == 0 || cv->pair.items[end].col < start + widest) &&
           place_items(cv, first, end + 1, start) <= IMPORT_ROW_MAX)
        end++;
    if (end == first && widest == 0 && end < cv->pair.count)
        end++;   // a single item wider than a row: cut, but the row moves on
    *last = end;
    return widest;
}

// Writes the pair: the chord row (marked) above its lyric row, both broken
// together where either would pass 99 columns. A pair without items is a plain line.
void emit_pair(ImportWork* cv)
{
    if (cv->pair.count == 0 && cv->pair.lyric_len == 0) {
        put_row(cv, "", 0, false);
        return;
    }
    int start = 0;
    int first = 0;
    while (!cv->full && (first < cv->pair.count || start < cv->pair.lyric_len)) {
        int left = cv->pair.lyric_len > start ? cv->pair.lyric_len - start : 0;
        if (place_items(cv, first, cv->pair.count, start) <= IMPORT_ROW_MAX && left <= IMPORT_ROW_MAX) {
            write_chord_row(cv, first, cv->pair.count, start);
            if (left > 0)
                put_row(cv, cv->pair.lyric + start, left, false);
            return;
        }
        int last = first;
        int b = choose_break(cv, first, start, left, &last);
        write_chord_row(cv, first, last, start);
        if (b > 0)
            put_row(cv, cv->pair.lyric + start, b, false);
        first = last;
        start += b;
        while (start < cv->pair.lyric_len && cv->pair.lyric[start] == ' ')
            start++;
        // only chords left: the first of them begins the next row
        if (start >= cv->pair.lyric_len && first < cv->pair.count && cv->pair.items[first].col > start)
            start = cv->pair.items[first].col;
    }
}

void put_plain(ImportWork* cv, const char* text, int len)
{
    clear_pair(&cv->pair, SHEET_GAP);
    set_lyric(&cv->pair, text, len);
    emit_pair(cv);
}

// A row that looks like a chord row, its tokens as items above the lyric (may be empty).
void put_chord_row(ImportWork* cv, const char* row, int len, const char* lyric, int lyric_len)
{
    clear_pair(&cv->pair, SHEET_GAP);
    for (int i = 0; i < len;) {
        while (i < len && row[i] == ' ')
            i++;
        int start = i;
        while (i < len && row[i] != ' ')
            i++;
        if (i > start)
            add_item(&cv->pair, start, row + start, i - start, is_chord_token(row + start, i - start));
    }
    set_lyric(&cv->pair, lyric, lyric_len);
    emit_pair(cv);
}

bool wants_mark(const char* row, int len)
{
    return !is_chord_row(row, len) && looks_like_chord_row(row, len);
}
