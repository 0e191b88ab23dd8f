// Chord line transposition: display_lines rebuilt from raw_lines by a number of half steps.
#include "transpose/transpose.h"

#include <cstring>

#include "shell/shared_state.h"
#include "store/book_format.h"

enum {
    PREPARED_BLANKS = 80,           // a shown row starts as 80 blanks, zeros behind them
    LAST_COLUMN = LINE_WIDTH - 2,   // the row's 99th character: nothing is written past it
    CHORD_LOOK = 10,                // a token reaching ten characters counts as its first letter
    COUNT_LOW = -12,                // the counts the note table serves as they are
    COUNT_HIGH = 13
};

// The written roots that are spelled the other way before the lookup.
static const char* const respellings[][2] = {
    {"Ab", "G#"}, {"Db", "C#"}, {"Gb", "F#"}, {"A#", "Bb"},
};

// Whether two note names of one or two characters are the same.
static bool same_name(const char* a, const char* b)
{
    return a[0] == b[0] && a[1] == b[1];
}

// The new name of a written root: its entry among note_names[12..24] moved by
// half_steps (inside -12..13, so the table holds the result), or "XX" when no
// entry holds it (B#, Cb, E#, Fb).
static const char* new_root(const char* root, int half_steps)
{
    for (const auto& pair : respellings)
        if (same_name(root, pair[0]))
            root = pair[1];
    for (int i = 12; i <= 24; i++)
        if (same_name(note_names[i], root))
            return note_names[i + half_steps];
    return "XX";
}

// Counts the table cannot serve (a hand-edited song list can hold any number)
// are reduced by whole octaves; the remainder of a division by 12 never
// overflows, not even for INT_MIN.
static int table_count(int half_steps)
{
    if (half_steps < COUNT_LOW || half_steps > COUNT_HIGH)
        return half_steps % 12;
    return half_steps;
}

// Characters of the chord token at text: those before the first blank,
// terminator or '<' among its first ten, and 1 when none of the ten is one.
static int chord_length(const char* text)
{
    for (int i = 0; i < CHORD_LOOK; i++)
        if (text[i] == ' ' || text[i] == 0 || text[i] == CHORD_MARK)
            return i;
    return 1;
}

// Writes chord into row from column on, one for one, with no terminator; cut
// at the row's 99th character.
static void put_chord(char* row, const char* chord, int column)
{
    for (int i = column; *chord && i <= LAST_COLUMN; i++)
        row[i] = *chord++;
}

// The chord at column p (a root letter A to G, either case) rewritten as its new
// root, the rest of its token and one blank; returns the token's length.
static int transpose_chord(char* row, int p, int half_steps)
{
    int n = chord_length(row + p);
    char root[3] = {(char)(row[p] & ~0x20), 0, 0};
    int rest = 1;
    char second = n >= 2 ? row[p + 1] : 0;
    // "Gbass" is G and "bass", not Gb: a flat is no flat before "as"
    bool bass = n >= 4 && strncmp(row + p + 1, "bas", 3) == 0;
    if (second == '#' || second == 'B' || (second == 'b' && !bass)) {
        root[1] = second == '#' ? '#' : 'b';
        rest = 2;
    }
    const char* name = new_root(root, half_steps);
    int name_len = (int)strlen(name);
    char chord[CHORD_LOOK + 4];
    memcpy(chord, name, name_len);
    memcpy(chord + name_len, row + p + rest, n - rest);
    chord[name_len + n - rest] = ' ';
    chord[name_len + n - rest + 1] = 0;
    put_chord(row, chord, p);
    return n;
}

static bool is_root_letter(char c)
{
    return (c >= 'A' && c <= 'G') || (c >= 'a' && c <= 'g');
}

// A marked row, left to right: every mark becomes a blank (the display never
// shows one, and as a blank it still ends a token), and each token starting
// with a root letter is a chord. The column behind a token is never examined:
// it holds the token's end, or the blank of a chord that grew over it.
static void transpose_row(char* row, int length, int half_steps)
{
    for (int i = 0; i < length; i++)
        if (row[i] == CHORD_MARK)
            row[i] = ' ';
    for (int p = 0; p < length;) {
        if (is_root_letter(row[p]))
            p += transpose_chord(row, p, half_steps) + 1;
        else
            p++;
    }
}

void transpose_lines(const char (*raw_rows)[LINE_WIDTH], char (*shown)[LINE_WIDTH], int rows, int half_steps)
{
    if (rows > LINE_ROWS)
        rows = LINE_ROWS;
    half_steps = table_count(half_steps);
    for (int r = 0; r < rows; r++) {
        const char* raw = raw_rows[r];
        char* row = shown[r];
        // 99 characters at most, even for a row with no terminator
        int length = (int)strnlen(raw, LINE_WIDTH - 1);
        // a row is prepared as 80 blanks and zeros to its end before the raw
        // text goes over its start, so that no byte of an earlier call stays
        memset(row, ' ', PREPARED_BLANKS);
        memset(row + PREPARED_BLANKS, 0, LINE_WIDTH - (int)PREPARED_BLANKS);
        memcpy(row, raw, length);
        row[length] = 0;
        if (is_chord_row(row, length))
            transpose_row(row, length, half_steps);
    }
}

void transpose_song(int half_steps)
{
    transpose_lines(state.raw_lines, state.display_lines, state.line_count, half_steps);
}
