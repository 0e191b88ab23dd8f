// Plain chord sheets: a title line, then chord rows over their lyric rows.
#include "chordpro/import_work.h"

#include "store/book_format.h"

// The first non-empty line is the title unless it looks like a chord row; a row
// that looks like a chord row gets its mark, together with the lyric row under it.
void convert_chord_sheet(ImportWork* cv, LineReader* reader)
{
    char* line = cv->line_a;
    char* next = cv->line_b;
    int n;
    while ((n = next_line(reader, line)) >= 0 && trimmed_length(line, n) == 0) {
    }
    if (n < 0)
        return;
    if (!wants_mark(line, n)) {
        set_title(cv, line, n);
        n = next_line(reader, line);
    }
    while (n >= 0 && !cv->full) {
        int m = next_line(reader, next);
        if (!wants_mark(line, n)) {
            put_plain(cv, line, n);
        } else if (m >= 0 && trimmed_length(next, m) > 0 && !wants_mark(next, m) && !is_chord_row(next, m)) {
            put_chord_row(cv, line, n, next, m);
            m = next_line(reader, next);
        } else {
            put_chord_row(cv, line, n, "", 0);
        }
        char* swap = line;
        line = next;
        next = swap;
        n = m;
    }
    finish_song(cv);
}
