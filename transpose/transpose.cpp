// Chord line transposition: display_lines rebuilt from raw_lines by a number of half steps.
//
// It runs at every repaint of the viewer, so a marked row is scanned eight
// columns at a time and a chord is moved with fixed-size copies: the row is read
// from a prepared work copy with room behind it and written into the display row.
#include "transpose/transpose.h"

#include "shell/shared_state.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr int PREPARED_BLANKS = 80;          // a row starts as 80 blanks, zeros behind them
constexpr int LAST_COLUMN = LINE_WIDTH - 2;  // index of the row's 99th character
constexpr int TOKEN_LOOK = 10;               // chord_length looks at ten characters at most
constexpr int LOOKUP_FIRST = 12;             // the lookup searches note_names[12..24]
constexpr int LOOKUP_LAST = 24;
constexpr int COUNT_LOW = -12;               // the counts the table serves as they are
constexpr int COUNT_HIGH = 13;

// A chord is moved with copies of MOVE bytes. Its blank lies at most 10 columns
// behind its start (a root of two and a remainder of eight), so the copies at
// column p write columns p to p + 26; the work copy holds the bytes they read.
constexpr int MOVE = 16;
constexpr int MOVE_REACH = 10 + 1 + MOVE;
constexpr int WORK_SIZE = LINE_WIDTH + 32;

// The accidental a character behind a root letter makes of it.
enum { BARE = 0, FLAT = 1, SHARP = 2 };

struct ByteClasses {
    unsigned char ends_token[256];
    unsigned char accidental[256];
    constexpr ByteClasses() : ends_token(), accidental()
    {
        ends_token[(unsigned char)' '] = 1;
        ends_token[0] = 1;
        ends_token[(unsigned char)'<'] = 1;
        accidental[(unsigned char)'B'] = FLAT;  // an upper-case B is a flat too
        accidental[(unsigned char)'b'] = FLAT;
        accidental[(unsigned char)'#'] = SHARP;
    }
};
constexpr ByteClasses byte_classes;

// A written root of one or two characters as one number: first | second << 8
// (second 0 for a bare letter), so that two roots compare in one step.
unsigned root_code(char first, char second)
{
    return (unsigned char)first | (unsigned)(unsigned char)second << 8;
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
// half_steps is inside -12..13, so the entry found plus it stays in the table.
const char* new_root(unsigned code, int half_steps)
{
    for (int i = LOOKUP_FIRST; i <= LOOKUP_LAST; i++)
        if (code == root_code(note_names[i][0], note_names[i][1]))
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

// The new root of each of the 21 written roots a token can start with (a letter
// A to G bare, with a flat or with '#'), looked up once per call rather than
// once per chord.
struct NewRoot {
    char text[2];  // the second byte is not used by a one-letter name
    int length;
};
struct NewRoots {
    NewRoot of[7][3];
};

void resolve_roots(NewRoots* roots, int half_steps)
{
    const char accidentals[3] = {0, 'b', '#'};
    for (int letter = 0; letter < 7; letter++)
        for (int a = BARE; a <= SHARP; a++) {
            unsigned code = respell(root_code((char)('A' + letter), accidentals[a]));
            const char* name = new_root(code, half_steps);
            NewRoot* root = &roots->of[letter][a];
            root->length = (int)strlen(name);
            root->text[0] = name[0];
            root->text[1] = name[1];
        }
}

// Eight columns at once: a row word holds columns i to i + 7, column i in its
// lowest byte; a byte mask has 0x80 in each byte that matches.
static_assert(std::endian::native == std::endian::little, "row words are read low byte first");
constexpr uint64_t ONES = 0x0101010101010101ull;
constexpr uint64_t HIGH = 0x8080808080808080ull;
constexpr uint64_t LOW7 = 0x7F7F7F7F7F7F7F7Full;

uint64_t row_word(const char* at)
{
    uint64_t word;
    memcpy(&word, at, sizeof word);
    return word;
}

int first_byte(uint64_t mask)
{
    return std::countr_zero(mask) >> 3;
}

// The bytes that hold a letter a to g or A to G, where the scan stops. Exact in
// every byte: the sums stay inside each byte.
uint64_t root_letters(uint64_t word)
{
    uint64_t folded = word | (ONES * 0x20);       // A to G become a to g
    uint64_t low = folded & LOW7;
    uint64_t from_a = low + ONES * (0x80 - 'a');  // high bit: 'a' or above
    uint64_t past_g = low + ONES * (0x7F - 'g');  // high bit: above 'g'
    return from_a & ~past_g & ~folded & HIGH;
}

// The bytes equal to c; exact in the lowest match only, as a borrow can make
// the byte above a match show as one too.
uint64_t first_equal(uint64_t word, unsigned char c)
{
    uint64_t x = word ^ (ONES * c);
    return (x - ONES) & ~x & HIGH;
}

// The bytes that end a chord token in the work copy, where no mark is left:
// blanks and zeros. Exact in the lowest one.
uint64_t token_ends(uint64_t word)
{
    return first_equal(word, ' ') | first_equal(word, 0);
}

// The first column from q on where the scan stops, or a column >= length.
int next_stop(const char* work, int q, int length)
{
    while (q < length) {
        uint64_t stops = root_letters(row_word(work + q));
        if (stops)
            return q + first_byte(stops);
        q += 8;
    }
    return q;
}

// The first stop at or after offset q among the 16 columns whose stops are s0
// and s1, as an offset; 16 when there is none.
int window_stop(uint64_t s0, uint64_t s1, int q)
{
    if (q < 8) {
        uint64_t later = s0 & (~0ull << (8 * q));
        if (later)
            return first_byte(later);
        q = 8;
    }
    uint64_t later = s1 & (~0ull << (8 * (q - 8)));
    return later ? 8 + first_byte(later) : 16;
}

// Rewrites the chord token of n characters at column p of row: the new root,
// the remainder behind it and one blank. word holds the token's first eight
// characters. Returns the column of the blank, counted from p.
int rewrite_chord(char* row, const char* work, int p, int n, uint64_t word, const NewRoots& roots)
{
    const char* token = work + p;
    int accidental = n >= 2 ? (int)byte_classes.accidental[(word >> 8) & 0xFF] : (int)BARE;
    if (n >= 4 && ((word >> 8) & 0xFFFFFF) == ('b' | 'a' << 8 | 's' << 16))
        accidental = BARE;                  // "bas" behind the root letter is no flat
    int rest = accidental == BARE ? 1 : 2;  // where the remainder starts in the token
    const NewRoot& root = roots.of[((word & 0xFF) | 0x20) - 'a'][accidental];
    int blank = root.length + n - rest;

    if (p + MOVE_REACH < LINE_WIDTH) {
        // The remainder goes to its new column with the bytes behind it, and
        // the bytes behind the chord are then put back as they were.
        memcpy(row + p, root.text, 2);
        memcpy(row + p + root.length, token + rest, MOVE);
        row[p + blank] = ' ';
        memcpy(row + p + blank + 1, token + blank + 1, MOVE);
        return blank;
    }
    // Near the end of the row: put_chord cuts what does not fit.
    char chord[12];
    memcpy(chord, root.text, 2);
    memcpy(chord + root.length, token + rest, n - rest);
    chord[blank] = ' ';
    chord[blank + 1] = 0;
    put_chord(row, chord, p);
    return blank;
}

// The scan of a marked row of length columns, left to right. It reads the work
// copy and writes the display row; the one column where it would read back its
// own writing is the column behind a grown chord, which the chord's blank
// covers: the scan passes over it.
void transpose_row(char* row, const char* work, int length, const NewRoots& roots)
{
    int p = next_stop(work, 0, length);
    while (p < length) {
        const char* token = work + p;
        uint64_t w0 = row_word(token);
        uint64_t w1 = row_word(token + 8);
        // chord_length, and the next stops, from the same two words
        uint64_t ends = token_ends(w0);
        int n;
        if (ends)
            n = first_byte(ends);
        else if (byte_classes.ends_token[(unsigned char)token[8]])
            n = 8;
        else if (byte_classes.ends_token[(unsigned char)token[9]])
            n = 9;
        else
            n = 1;  // a run of ten or more counts as its first letter
        int blank = rewrite_chord(row, work, p, n, w0, roots);

        // The column behind the token is never examined.
        int next = window_stop(root_letters(w0), root_letters(w1), n + 1);
        if (next == n + 1 && blank > n)
            next = window_stop(root_letters(w0), root_letters(w1), n + 2);
        p = next < 16 ? p + next : next_stop(work, p + 16, length);
    }
}

// Length of a raw row's text: up to its terminator, and 99 characters at most
// even when the row has none.
int raw_length(const char* raw)
{
    const void* end = memchr(raw, 0, LINE_WIDTH - 1);
    return end ? (int)((const char*)end - raw) : LINE_WIDTH - 1;
}

// A row is prepared as 80 blanks and zeros to its end before the raw text and
// its terminator go over its start, so that no byte of an earlier call stays.
void prepare(char* row, int size, const char* raw, int length)
{
    memset(row, ' ', PREPARED_BLANKS);
    memset(row + PREPARED_BLANKS, 0, size - PREPARED_BLANKS);
    memcpy(row, raw, length);
    row[length] = 0;
}

}  // namespace

int chord_length(const char* text)
{
    for (int i = 0; i < TOKEN_LOOK; i++)
        if (byte_classes.ends_token[(unsigned char)text[i]])
            return i;
    return 1;
}

void put_chord(char* row, const char* chord, int column)
{
    if (column < 0)
        return;
    for (int i = column; *chord && i <= LAST_COLUMN; i++)
        row[i] = *chord++;
}

void transpose_lines(const char (*raw_rows)[LINE_WIDTH], char (*shown)[LINE_WIDTH], int rows, int half_steps)
{
    if (rows > LINE_ROWS)
        rows = LINE_ROWS;
    if (rows < 1)
        return;
    NewRoots roots;
    resolve_roots(&roots, table_count(half_steps));
    for (int r = 0; r < rows; r++) {
        const char* raw = raw_rows[r];
        char* row = shown[r];
        int length = raw_length(raw);
        const char* mark = (const char*)memchr(raw, '<', length);
        prepare(row, LINE_WIDTH, raw, length);
        if (!mark)
            continue;
        char work[WORK_SIZE];
        prepare(work, WORK_SIZE, raw, length);
        // Every mark is blanked before the scan: the scan would blank the ones
        // it examines, a chord covers or leaves the one behind its token, and the
        // display never shows one. As a blank a mark still ends a token.
        for (int i = (int)(mark - raw); i < length; i++)
            if (work[i] == '<')
                work[i] = row[i] = ' ';
        transpose_row(row, work, length, roots);
    }
}

void transpose_song(int half_steps)
{
    transpose_lines(state.raw_lines, state.display_lines, state.line_count, half_steps);
}
