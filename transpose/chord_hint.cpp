// The editor's hint under its text box: chord rows without a mark, marked rows holding words.
#include "transpose/chord_hint.h"

#include <cstdio>
#include <cstring>

#include "store/book_format.h"
#include "transpose/chord_row.h"

enum {
    HINT_LINES_SHOWN = 5     // line numbers named in the hint per kind, then "and n more"
};

namespace {

// Line numbers of one kind of finding, the first few kept.
struct LineList {
    int count;
    int lines[HINT_LINES_SHOWN];
};

void note_line(LineList* list, int line)
{
    if (list->count < HINT_LINES_SHOWN)
        list->lines[list->count] = line;
    list->count++;
}

void append(char* out, int size, const char* text)
{
    int used = (int)strlen(out);
    if (used < size - 1)
        snprintf(out + used, (size_t)(size - used), "%s", text);
}

// "line 7 <one>" or "lines 3, 7 and 12 <many>"; more than five: "lines 3, 7, 12, 15, 20 and 4 more <many>".
void describe(char* out, int size, const LineList* list, const char* one, const char* many)
{
    if (list->count == 0)
        return;
    if (out[0])
        append(out, size, "; ");
    char number[32];
    append(out, size, list->count == 1 ? "line " : "lines ");
    int shown = list->count < HINT_LINES_SHOWN ? list->count : HINT_LINES_SHOWN;
    for (int i = 0; i < shown; i++) {
        if (i > 0)
            append(out, size, i == shown - 1 && shown == list->count ? " and " : ", ");
        snprintf(number, sizeof number, "%d", list->lines[i]);
        append(out, size, number);
    }
    if (list->count > shown) {
        snprintf(number, sizeof number, " and %d more", list->count - shown);
        append(out, size, number);
    }
    append(out, size, list->count == 1 ? one : many);
}

} // namespace

void chord_row_hint(const char* text, int len, char* out, int size)
{
    if (size <= 0)
        return;
    out[0] = 0;
    LineList unmarked = {0, {0}};
    LineList wordy = {0, {0}};
    int line = 1;
    for (int start = 0; start <= len;) {
        const char* end = (const char*)memchr(text + start, '\n', (size_t)(len - start));
        int stop = end ? (int)(end - text) : len;
        int row_len = stop - start;
        if (row_len > 0 && text[start + row_len - 1] == '\r')
            row_len--;
        const char* row = text + start;
        if (is_chord_row(row, row_len)) {
            if (marked_row_holds_words(row, row_len))
                note_line(&wordy, line);
        } else if (looks_like_chord_row(row, row_len)) {
            note_line(&unmarked, line);
        }
        if (!end)
            break;
        start = stop + 1;
        line++;
    }
    describe(out, size, &unmarked, " looks like chords but has no <", " look like chords but have no <");
    describe(out, size, &wordy, " has < but holds words", " have < but hold words");
}
