// Whether a row of a song looks like a row of chords, and where its '<' mark goes.
#pragma once

// The rule, shared by the import and the editor: a row looks like a chord row
// when every token (tokens are separated by blanks, tabs and '<') is a chord, a
// bar or repeat sign ("|", ":|", "%", "/", "x2") or N.C., and at least one token
// is a chord. A row whose only token is a lower-case "a" or "am" is taken for the
// English word, not for a chord; a lone upper-case "A" is a chord.
bool looks_like_chord_row(const char* row, int len);

// A chord: root A to G (either case), an optional 'b' or '#', a suffix (m, maj7,
// sus4, add9, dim, aug, 7, 6/9, m7b5, (b9) and the like), an optional bass after
// '/', the whole optionally in brackets "(G)".
bool is_chord_token(const char* token, int len);

// A bar or repeat sign ("|", ":|", "%", "/", "x2") or N.C.: at home on a chord row, never transposed.
bool is_sign_token(const char* token, int len);

// The column where the row's mark goes: right after its last chord. *replaces is
// 1 when a blank stands there (the mark takes its place, so nothing behind it
// moves), 0 when the mark is inserted. -1 when the row needs no mark: it holds
// one already or does not look like a chord row.
int chord_mark_column(const char* row, int len, int* replaces);

// A marked row that holds a word the transposer would change: a token that is no
// chord or sign and holds a letter A to G ("Verse" would become "VF#rse").
bool marked_row_holds_words(const char* row, int len);
