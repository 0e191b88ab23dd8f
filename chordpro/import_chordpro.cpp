// ChordPro lines: inline chords over their syllables, and how a file shows it is ChordPro.
#include "chordpro/import_work.h"

#include <cstring>

#include "transpose/chord_row.h"

// A lyric line with inline chords: each chord above the column of the syllable
// it stood before, moved right only where it would come closer than two blanks
// to the chord before it. Returns false when the line holds no bracket at all.
static bool read_inline_chords(ImportWork* cv, const char* line, int len, bool* any_chord)
{
    clear_pair(&cv->pair, CHORDPRO_GAP);
    bool brackets = false;
    *any_chord = false;
    int lyric = 0;
    for (int i = 0; i < len; i++) {
        const char* close = line[i] == '[' ? (const char*)memchr(line + i + 1, ']', (size_t)(len - i - 1)) : nullptr;
        if (!close) {
            cv->pair.lyric[lyric++] = line[i];
            continue;
        }
        brackets = true;
        int from = i + 1;
        int to = (int)(close - line);
        while (from < to && line[from] == ' ')
            from++;
        to = from + trimmed_length(line + from, to - from);
        // "[*Coda]" is an annotation, not a chord
        if (to > from && line[from] != '*') {
            add_item(&cv->pair, lyric, line + from, to - from < CHORD_TEXT_MAX ? to - from : CHORD_TEXT_MAX, true);
            *any_chord = *any_chord || is_chord_token(line + from, to - from);
        }
        i = (int)(close - line);
    }
    cv->pair.lyric[lyric] = 0;
    cv->pair.lyric_len = trimmed_length(cv->pair.lyric, lyric);
    for (int i = 1; i < cv->pair.count; i++) {
        int least = cv->pair.items[i - 1].col + cv->pair.items[i - 1].len + CHORDPRO_GAP;
        if (cv->pair.items[i].col < least)
            cv->pair.items[i].col = least;
    }
    return brackets;
}

static void convert_lyric_line(ImportWork* cv, const char* line, int len)
{
    bool any_chord = false;
    if (!read_inline_chords(cv, line, len, &any_chord)) {
        if (wants_mark(line, len))
            put_chord_row(cv, line, len, "", 0);
        else
            put_plain(cv, line, len);
        return;
    }
    // a line of labels in brackets only ("[Verse 1]") is kept as it stands
    if (cv->pair.count == 0 || (!any_chord && cv->pair.lyric_len == 0)) {
        if (cv->pair.lyric_len == 0)
            put_plain(cv, line, len);
        else
            emit_pair(cv);
        return;
    }
    emit_pair(cv);
}

void convert_chordpro(ImportWork* cv, LineReader* reader)
{
    int n;
    char name[DIRECTIVE_NAME_MAX + 1];
    while ((n = next_line(reader, cv->line_a)) >= 0 && !cv->full) {
        if (cv->line_a[0] == '#')
            continue;
        const char* value = nullptr;
        int value_len = 0;
        if (read_directive(cv->line_a, n, name, &value, &value_len)) {
            handle_directive(cv, name, value, value_len);
        } else if (cv->verbatim) {
            put_plain(cv, cv->line_a, n);
        } else {
            convert_lyric_line(cv, cv->line_a, n);
        }
    }
    finish_song(cv);
}

// Whether the line holds a chord in brackets ("[*Coda]" is an annotation, not a chord).
static bool holds_bracket_chord(const char* line, int len)
{
    for (int i = 0; i < len; i++) {
        const char* close = line[i] == '[' ? (const char*)memchr(line + i + 1, ']', (size_t)(len - i - 1)) : nullptr;
        if (!close)
            continue;
        int from = i + 1;
        int to = (int)(close - line);
        while (from < to && line[from] == ' ')
            from++;
        to = from + trimmed_length(line + from, to - from);
        if (to > from && line[from] != '*' && is_chord_token(line + from, to - from))
            return true;
        i = to;
    }
    return false;
}

// ChordPro shows itself by a directive line or a chord in brackets. line is
// IMPORT_LINE_MAX + 1 bytes of scratch.
bool looks_like_chordpro(const unsigned char* text, int len, char* line)
{
    LineReader reader = {text, len, 0};
    char name[DIRECTIVE_NAME_MAX + 1];
    int n;
    while ((n = next_line(&reader, line)) >= 0) {
        const char* value = nullptr;
        int value_len = 0;
        if (read_directive(line, n, name, &value, &value_len) || holds_bracket_chord(line, n))
            return true;
    }
    return false;
}
