// Chord line transposition: display_lines rebuilt from raw_lines by a number of half steps.
#include "transpose/transpose.h"

#include "shell/shared_state.h"

#include <cstring>

namespace {

enum {
    PREPARED_BLANKS = 80,      // a display row starts as 80 blanks, zeros behind them
    LAST_COLUMN = LINE_WIDTH - 2,  // index of the row's 99th character
    TOKEN_LOOK = 10,           // chord_length looks at no more than ten characters
    LOOKUP_FIRST = 12,         // the lookup searches note_names[12..24]
    LOOKUP_LAST = 24,
    COUNT_LOW = -12,           // counts the table serves as they are
    COUNT_HIGH = 13
};

// What the scan does with a byte: pass over it, blank a mark, or start a chord
// (after upper-casing a to g).
enum ByteClass : unsigned char { PASS = 0, MARK, LOWER_ROOT, UPPER_ROOT };

constexpr struct ByteClasses {
    unsigned char of[256];
    constexpr ByteClasses() : of()
    {
        of[(unsigned char)'<'] = MARK;
        for (int c = 'a'; c <= 'g'; c++)
            of[c] = LOWER_ROOT;
        for (int c = 'A'; c <= 'G'; c++)
            of[c] = UPPER_ROOT;
    }
} byte_classes;

// A written root of one or two characters as one number: first | second << 8
// (second 0 for a bare letter), so that roots compare in one step.
inline unsigned root_code(char first, char second)
{
    return (unsigned char)first | (unsigned)(unsigned char)second << 8;
}

inline unsigned note_code(int entry)
{
    return root_code(note_names[entry][0], note_names[entry][1]);
}

// The written roots that are spelled the other way before the lookup, in order.
const char respellings[4][2][3] = {
    {"Ab", "G#"}, {"Db", "C#"}, {"Gb", "F#"}, {"A#", "Bb"},
};

unsigned respell(unsigned code)
{
    for (const auto& pair : respellings)
        if (code == root_code(pair[0][0], pair[0][1]))
            code = root_code(pair[1][0], pair[1][1]);
    return code;
}

// The new root for a written root, or "XX" when no entry of 12..24 holds it.
// half_steps is already inside -12..13, so the entry stays inside the table.
const char* new_root(unsigned code, int half_steps)
{
    for (int i = LOOKUP_FIRST; i <= LOOKUP_LAST; i++)
        if (code == note_code(i))
            return note_names[i + half_steps];
    return "XX";
}

// Counts the table cannot serve (a hand-edited song list can hold any number)
// are reduced by whole octaves; the remainder of a division by 12 never
// overflows, not even for INT_MIN.
int table_count(int half_steps)
{
    if (half_steps < COUNT_LOW || half_steps > COUNT_HIGH)
        return half_steps % 12;
    return half_steps;
}

// Prepares display row from raw: the raw text (at most 99 characters, even when
// the raw row lacks a terminator) and its terminator, blanks behind it up to the
// 80th byte, zeros from there to the row's end, so that no byte of an earlier
// call survives. Returns the length of the copied text.
int prepare_row(char* row, const char* raw)
{
    const void* end = memchr(raw, 0, LINE_WIDTH - 1);
    int length = end ? (int)((const char*)end - raw) : LINE_WIDTH - 1;
    memcpy(row, raw, length);
    row[length] = 0;
    int blanks_end = length + 1 > PREPARED_BLANKS ? length + 1 : PREPARED_BLANKS;
    if (blanks_end > length + 1)
        memset(row + length + 1, ' ', blanks_end - (length + 1));
    memset(row + blanks_end, 0, LINE_WIDTH - blanks_end);
    return length;
}

// The new root of every written root the split can give, a letter A to G bare,
// with 'b' or with '#', resolved once per call rather than once per chord.
struct NewRoots {
    const char* of[7][3];
};
enum { BARE = 0, FLAT = 1, SHARP = 2 };

void resolve_roots(NewRoots* roots, int half_steps)
{
    const char accidentals[3] = {0, 'b', '#'};
    for (int letter = 0; letter < 7; letter++)
        for (int a = 0; a < 3; a++)
            roots->of[letter][a] =
                new_root(respell(root_code((char)('A' + letter), accidentals[a])), half_steps);
}

// Rewrites the chord token of n characters at column p, whose first character is
// an upper-case root letter.
void transpose_chord(char* row, int p, int n, const NewRoots& roots)
{
    const char* token = row + p;
    int accidental = BARE;
    int rest = 1;          // where the remainder starts in the token
    if (n >= 2) {
        char t1 = token[1];
        if (t1 == 'B' || t1 == '#') {
            accidental = t1 == 'B' ? FLAT : SHARP;
            rest = 2;
        } else if (t1 == 'b' && !(n >= 4 && token[2] == 'a' && token[3] == 's')) {
            accidental = FLAT;
            rest = 2;
        }
    }
    const char* root = roots.of[token[0] - 'A'][accidental];

    // The remainder is read from the row before the row is written, since the
    // assembled chord may land one column to either side of it.
    char chord[12];
    int len = 0;
    while (*root)
        chord[len++] = *root++;
    for (int i = rest; i < n; i++)
        chord[len++] = token[i];
    chord[len++] = ' ';
    chord[len] = 0;
    put_chord(row, chord, p);
}

// Scans a marked row of length columns, rewriting every chord in place.
void transpose_row(char* row, int length, const NewRoots& roots)
{
    int p = 0;
    while (p < length) {
        unsigned char c = (unsigned char)row[p];
        unsigned char kind = byte_classes.of[c];
        if (kind == PASS) {
            p++;
            continue;
        }
        if (kind == MARK) {
            row[p++] = ' ';
            continue;
        }
        if (kind == LOWER_ROOT)
            row[p] = (char)(c - 'a' + 'A');
        int n = chord_length(row + p);
        transpose_chord(row, p, n, roots);
        // The column behind the token is never examined; a mark there that a
        // shrunk chord did not reach is blanked all the same, so that the display
        // never shows one.
        if (p + n < LINE_WIDTH && row[p + n] == '<')
            row[p + n] = ' ';
        p += n + 1;
    }
}

}  // namespace

int chord_length(const char* text)
{
    for (int i = 0; i < TOKEN_LOOK; i++) {
        char c = text[i];
        if (c == ' ' || c == 0 || c == '<')
            return i;
    }
    return 1;
}

void put_chord(char* row, const char* chord, int column)
{
    if (column < 0)
        return;
    for (int i = column; *chord && i <= LAST_COLUMN; i++)
        row[i] = *chord++;
}

void transpose_song(int half_steps)
{
    int rows = state.line_count < LINE_ROWS ? state.line_count : LINE_ROWS;
    if (rows < 1)
        return;
    NewRoots roots;
    resolve_roots(&roots, table_count(half_steps));
    for (int r = 0; r < rows; r++) {
        char* row = state.display_lines[r];
        int length = prepare_row(row, state.raw_lines[r]);
        if (memchr(row, '<', length))
            transpose_row(row, length, roots);
    }
}
