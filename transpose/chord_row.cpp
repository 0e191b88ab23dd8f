// Whether a row of a song looks like a row of chords, and where its '<' mark goes.
#include "store/book_format.h"
#include "transpose/chord_row.h"

#include <cstring>

enum {
    CHORD_TOKEN_MAX = 24     // longer tokens are never chords; bounds the bracket recursion
};

enum TokenKind { TOKEN_WORD, TOKEN_CHORD, TOKEN_SIGN };

namespace {

// A read position inside one token.
struct Scan {
    const unsigned char* s;
    int n;
    int i;
};

bool is_digit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool is_root(unsigned char c)
{
    return (c >= 'A' && c <= 'G') || (c >= 'a' && c <= 'g');
}

bool take(Scan& c, const char* word)
{
    int len = (int)strlen(word);
    if (c.n - c.i < len || memcmp(c.s + c.i, word, (size_t)len) != 0)
        return false;
    c.i += len;
    return true;
}

bool next_is(const Scan& c, int ahead, unsigned char want)
{
    return c.i + ahead < c.n && c.s[c.i + ahead] == want;
}

bool next_is_digit(const Scan& c, int ahead)
{
    return c.i + ahead < c.n && is_digit(c.s[c.i + ahead]);
}

// The numbers a chord is built from: 2, 4, 5, 6, 7, 9, 11, 13, 69 and 6/9.
bool take_extension(Scan& c)
{
    int start = c.i;
    int value = 0;
    while (c.i < c.n && c.i - start < 2 && is_digit(c.s[c.i]))
        value = value * 10 + (c.s[c.i++] - '0');
    if (c.i == start || next_is_digit(c, 0)) {
        c.i = start;
        return false;
    }
    switch (value) {
    case 2: case 4: case 5: case 6: case 7: case 9: case 11: case 13: case 69:
        break;
    default:
        c.i = start;
        return false;
    }
    if (value == 6 && next_is(c, 0, '/') && next_is(c, 1, '9'))
        c.i += 2;
    return true;
}

// m, maj, min, dim, aug, +, the half-diminished and diminished signs; '-', 'M'
// and 'o' only before a number (C-7, CM7, Co7), so that "Go" stays a word.
void take_quality(Scan& c)
{
    if (take(c, "maj") || take(c, "Maj") || take(c, "MAJ") || take(c, "min") || take(c, "dim") ||
        take(c, "aug") || take(c, "m"))
        return;
    if (c.i < c.n && (c.s[c.i] == '-' || c.s[c.i] == 'M' || c.s[c.i] == 'o') && next_is_digit(c, 1)) {
        c.i++;
        return;
    }
    if (c.i < c.n && (c.s[c.i] == '+' || c.s[c.i] == 0xB0 || c.s[c.i] == 0xF8))
        c.i++;
}

// sus4, add9, maj7, no3, alt, b5, #11, +5, and any of them in brackets: (b9), (add9, 11).
bool take_modifier(Scan& c)
{
    int start = c.i;
    if (take(c, "sus")) {
        take_extension(c);
        return true;
    }
    if (take(c, "alt"))
        return true;
    if (take(c, "add") || take(c, "maj") || take(c, "Maj") || take(c, "no")) {
        if (take_extension(c))
            return true;
        c.i = start;
        return false;
    }
    if (c.i < c.n && strchr("b#+-M", c.s[c.i]) && c.s[c.i]) {
        c.i++;
        if (take_extension(c))
            return true;
        c.i = start;
        return false;
    }
    if (c.i < c.n && c.s[c.i] == '(') {
        c.i++;
        bool any = false;
        while (c.i < c.n && c.s[c.i] != ')') {
            if (c.s[c.i] == ',') {
                c.i++;
                continue;
            }
            if (!take_extension(c) && !take_modifier(c)) {
                c.i = start;
                return false;
            }
            any = true;
        }
        if (!any || c.i >= c.n) {
            c.i = start;
            return false;
        }
        c.i++;
        return true;
    }
    return false;
}

bool take_root(Scan& c)
{
    if (c.i >= c.n || !is_root(c.s[c.i]))
        return false;
    c.i++;
    if (c.i < c.n && (c.s[c.i] == 'b' || c.s[c.i] == '#'))
        c.i++;
    return true;
}

bool is_bare_chord(const unsigned char* s, int n)
{
    Scan c = {s, n, 0};
    if (!take_root(c))
        return false;
    take_quality(c);
    take_extension(c);
    while (take_modifier(c)) {
    }
    if (c.i < c.n && c.s[c.i] == '/') {
        c.i++;
        if (!take_root(c))
            return false;
    }
    return c.i == c.n;
}

bool equal_ignoring_case(const unsigned char* s, int n, const char* word)
{
    if ((int)strlen(word) != n)
        return false;
    for (int i = 0; i < n; i++) {
        unsigned char a = s[i];
        if (a >= 'a' && a <= 'z')
            a = (unsigned char)(a - 32);
        if (a != (unsigned char)word[i])
            return false;
    }
    return true;
}

// N.C. (no chord), a repeat count (x2, 2x), or a bar or beat sign (|, ||:, :|, %, /).
bool is_bare_sign(const unsigned char* s, int n)
{
    if (equal_ignoring_case(s, n, "N.C.") || equal_ignoring_case(s, n, "N.C") || (n == 2 && memcmp(s, "NC", 2) == 0))
        return true;
    if (n >= 2 && n <= 3) {
        bool x_first = s[0] == 'x' || s[0] == 'X';
        bool x_last = s[n - 1] == 'x' || s[n - 1] == 'X';
        int from = x_first ? 1 : 0;
        int to = x_last && !x_first ? n - 1 : n;
        bool digits = x_first != x_last;
        for (int i = from; i < to && digits; i++)
            digits = is_digit(s[i]);
        if (digits && to > from)
            return true;
    }
    for (int i = 0; i < n; i++) {
        if (!strchr("|:/%", s[i]) || s[i] == 0)
            return false;
    }
    return n > 0;
}

// Tries the token as it stands and without an opening or closing bracket.
TokenKind token_kind(const char* token, int len)
{
    const unsigned char* s = (const unsigned char*)token;
    if (len <= 0 || len > CHORD_TOKEN_MAX)
        return TOKEN_WORD;
    int open = s[0] == '(' ? 1 : 0;
    int close = len > open && s[len - 1] == ')' ? 1 : 0;
    for (int a = 0; a <= open; a++) {
        for (int b = 0; b <= close; b++) {
            int n = len - a - b;
            if (n > 0 && is_bare_chord(s + a, n))
                return TOKEN_CHORD;
        }
    }
    for (int a = 0; a <= open; a++) {
        for (int b = 0; b <= close; b++) {
            int n = len - a - b;
            if (n > 0 && is_bare_sign(s + a, n))
                return TOKEN_SIGN;
        }
    }
    return TOKEN_WORD;
}

bool is_separator(char c)
{
    return c == ' ' || c == '\t' || c == '<' || c == '\r';
}

// Finds the next token at or after *pos; returns its length (0: none left).
int next_token(const char* row, int len, int* pos)
{
    int i = *pos;
    while (i < len && is_separator(row[i]))
        i++;
    int start = i;
    while (i < len && !is_separator(row[i]))
        i++;
    *pos = start;
    return i - start;
}

// What the row's tokens are: the count of each kind, the end of the last chord,
// and whether a word holds a letter the transposer would take for a root.
struct RowTokens {
    int tokens;
    int chords;
    int words;
    int words_with_roots;
    int last_chord_end;
    bool lone_english_word;
};

RowTokens classify_row(const char* row, int len)
{
    RowTokens r = {0, 0, 0, 0, -1, false};
    int pos = 0;
    int n;
    while ((n = next_token(row, len, &pos)) > 0) {
        r.tokens++;
        switch (token_kind(row + pos, n)) {
        case TOKEN_CHORD:
            r.chords++;
            r.last_chord_end = pos + n;
            if ((n == 1 && row[pos] == 'a') || (n == 2 && row[pos] == 'a' && row[pos + 1] == 'm'))
                r.lone_english_word = true;
            break;
        case TOKEN_SIGN:
            break;
        case TOKEN_WORD:
            r.words++;
            for (int i = 0; i < n; i++) {
                if (is_root((unsigned char)row[pos + i])) {
                    r.words_with_roots++;
                    break;
                }
            }
            break;
        }
        pos += n;
    }
    // "a" or "am" alone on a row is the English word far more often than a chord
    r.lone_english_word = r.lone_english_word && r.tokens == 1;
    return r;
}

} // namespace

bool is_chord_token(const char* token, int len)
{
    return token_kind(token, len) == TOKEN_CHORD;
}

bool is_sign_token(const char* token, int len)
{
    return token_kind(token, len) == TOKEN_SIGN;
}

bool looks_like_chord_row(const char* row, int len)
{
    RowTokens r = classify_row(row, len);
    return r.chords > 0 && r.words == 0 && !r.lone_english_word;
}

int chord_mark_column(const char* row, int len, int* replaces)
{
    *replaces = 0;
    if (is_chord_row(row, len) || !looks_like_chord_row(row, len))
        return -1;
    int column = classify_row(row, len).last_chord_end;
    // a blank behind the chord takes the mark: whatever stands further right keeps its column
    *replaces = column < len && row[column] == ' ' ? 1 : 0;
    return column;
}

bool marked_row_holds_words(const char* row, int len)
{
    return is_chord_row(row, len) && classify_row(row, len).words_with_roots > 0;
}
