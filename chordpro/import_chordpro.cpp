// ChordPro lines: inline chords over their syllables, and how a file shows it is ChordPro.
#include "chordpro/import_work.h"

#include <cstring>

#include "transpose/chord_row.h"

// What a bracket holds: a chord (bars and repeat signs beside it allowed), bars
// and repeat signs only, or words ("[Verse 3]", "[Riff x2]", "[sic]"). N.C.
// counts as words: the transposer would make it "N.D.". In a file this program
// wrote every bracket holds a token of a chord row (its words are escaped), so
// every bracket stays above.
enum BracketKind { BRACKET_WORDS, BRACKET_SIGNS, BRACKET_CHORD };

static bool holds_root_letter(const char* text, int len)
{
    for (int i = 0; i < len; i++) {
        char c = text[i] >= 'a' && text[i] <= 'z' ? (char)(text[i] - 32) : text[i];
        if (c >= 'A' && c <= 'G')
            return true;
    }
    return false;
}

static BracketKind bracket_kind(const char* text, int len, bool exact_columns)
{
    bool chord = false;
    for (int i = 0; i < len;) {
        while (i < len && text[i] == ' ')
            i++;
        int start = i;
        while (i < len && text[i] != ' ')
            i++;
        if (i == start)
            break;
        if (is_chord_token(text + start, i - start))
            chord = true;
        else if (!exact_columns &&
                 (!is_sign_token(text + start, i - start) || holds_root_letter(text + start, i - start)))
            return BRACKET_WORDS;
    }
    return chord ? BRACKET_CHORD : BRACKET_SIGNS;
}

static void add_to_lyric(RowPair* pair, int* lyric, const char* text, int len)
{
    for (int k = 0; k < len && *lyric < IMPORT_LINE_MAX; k++)
        pair->lyric[(*lyric)++] = text[k];
}

// A lyric line with inline chords: each chord above the column of the syllable
// it stood before, moved right only where it would come closer than the gap to
// the chord before it. Bracket text that is no chord stays in the lyric as it
// was written, an annotation "[*Coda]" as its words; bars and repeat signs go
// above only with signs_above. Escapes ("\[") stand for their character.
// Returns false when the line holds no bracket at all.
static bool read_inline_chords(ImportWork* cv, const char* line, int len, bool signs_above, bool* any_chord)
{
    RowPair* pair = &cv->pair;
    int gap = cv->exact_columns ? SHEET_GAP : CHORDPRO_GAP;
    clear_pair(pair, gap);
    bool brackets = false;
    *any_chord = false;
    int lyric = 0;
    for (int i = 0; i < len; i++) {
        if (line[i] == '\\' && i + 1 < len && is_escapable(line[i + 1])) {
            add_to_lyric(pair, &lyric, line + ++i, 1);
            continue;
        }
        const char* close = line[i] == '[' ? (const char*)memchr(line + i + 1, ']', (size_t)(len - i - 1)) : nullptr;
        if (!close) {
            add_to_lyric(pair, &lyric, line + i, 1);
            continue;
        }
        brackets = true;
        int from = i + 1;
        int to = (int)(close - line);
        while (from < to && line[from] == ' ')
            from++;
        to = from + trimmed_length(line + from, to - from);
        BracketKind kind = bracket_kind(line + from, to - from, cv->exact_columns);
        if (to == from) {
            // "[]": nothing, as a program that writes escapes at a line's start may put there
        } else if (line[from] == '*') {
            // the annotation's words, apart from the words beside them
            for (from++; from < to && line[from] == ' '; from++) {
            }
            if (lyric > 0 && pair->lyric[lyric - 1] != ' ')
                add_to_lyric(pair, &lyric, " ", 1);
            add_to_lyric(pair, &lyric, line + from, to - from);
            if (close + 1 < line + len && close[1] != ' ')
                add_to_lyric(pair, &lyric, " ", 1);
        } else if (kind == BRACKET_CHORD || (kind == BRACKET_SIGNS && signs_above)) {
            add_item(pair, lyric, line + from, to - from < CHORD_TEXT_MAX ? to - from : CHORD_TEXT_MAX,
                     kind == BRACKET_CHORD);
            *any_chord = *any_chord || kind == BRACKET_CHORD;
        } else {
            add_to_lyric(pair, &lyric, line + i, (int)(close - line) - i + 1);
        }
        i = (int)(close - line);
    }
    pair->lyric[lyric] = 0;
    pair->lyric_len = trimmed_length(pair->lyric, lyric);
    for (int i = 1; i < pair->count; i++) {
        int least = pair->items[i - 1].col + pair->items[i - 1].len + gap;
        if (pair->items[i].col < least)
            pair->items[i].col = least;
    }
    return brackets;
}

// A line without a chord keeps its brackets (signs too) as text; a line without
// brackets that looks like a chord row gets its mark.
static void convert_lyric_line(ImportWork* cv, const char* line, int len)
{
    bool any_chord = false;
    bool brackets = read_inline_chords(cv, line, len, true, &any_chord);
    if (brackets && !any_chord)
        read_inline_chords(cv, line, len, false, &any_chord);
    RowPair* pair = &cv->pair;
    if (!brackets && wants_mark(pair->lyric, pair->lyric_len)) {
        memcpy(cv->line_b, pair->lyric, (size_t)pair->lyric_len + 1);
        put_chord_row(cv, cv->line_b, pair->lyric_len, "", 0);
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
            char* own_value = cv->line_a + (value - cv->line_a);
            handle_directive(cv, name, own_value, unescape(own_value, value_len));
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
