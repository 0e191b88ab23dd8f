// The working memory of one file's conversion, and the steps the import's files share.
#pragma once

#include "chordpro/import.h"

enum {
    PAIR_ITEMS_MAX = IMPORT_LINE_MAX / 2,   // chords or tokens of one line: each takes two columns at least
    CHORD_TEXT_MAX = 20,                     // a longer bracketed chord is cut
    DIRECTIVE_NAME_MAX = 32,
    CHORDPRO_GAP = 2,       // blanks kept between two chords, so that a chord can grow when transposed
    SHEET_GAP = 1           // a chord sheet's tokens stand as written; only a break moves them
};

// One item of a chord row: a chord, a bar or a repeat sign.
struct ChordItem {
    int col;
    int len;
    int text;       // offset in texts
    bool chord;     // a chord (the mark goes behind the last one), else a bar or sign
};

// A chord row and the lyric row beneath it, before they are broken to the viewer's width.
struct RowPair {
    int count;
    ChordItem items[PAIR_ITEMS_MAX];
    int texts_used;
    char texts[IMPORT_LINE_MAX + 1];
    int lyric_len;
    char lyric[IMPORT_LINE_MAX + 1];
    int gap;        // the least blanks between two items that a break moves
    int cols[PAIR_ITEMS_MAX];   // where place_items put each item
};

// The lines of the decoded text, one at a time.
struct LineReader {
    const unsigned char* text;
    int len;
    int pos;
};

// Everything one file's conversion works on: one named struct its caller owns (far too big
// for the 32-bit stack), handed to convert_song_file.
struct ImportWork {
    ImportBatch* batch;
    int source;
    const char* file_name;
    bool full;              // the batch has no room left: the file is given back
    bool open;              // a song is being built
    bool titled;
    bool verbatim;          // inside a tab or grid section: lines as they stand
    bool describing;        // the rows being written only describe the song (key, artist, "Chorus:")
    bool sung;              // the open song has a row that is more than a description
    bool exact_columns;     // the file says its chords stand at the columns of a chord row
    int body_start;         // where the open song's body begins in the pool
    int lines;              // body lines written so far
    int held_blanks;        // blank lines written only when a line follows
    int songs_done;         // songs of this file finished so far
    RowPair pair;
    char line_a[IMPORT_LINE_MAX + 1];
    char line_b[IMPORT_LINE_MAX + 1];
};

// ---- text (import_text.cpp) ----
// The file's bytes as Windows-1252 text, in place; the length, or -1 when it is no text.
int decode_text(unsigned char* b, int len);
bool is_blank_text(const char* text, int len);
// The next line into out (IMPORT_LINE_MAX + 1 bytes): its length, or -1 at the end.
int next_line(LineReader* r, char* out);
int trimmed_length(const char* text, int len);
// Replaces every occurrence of mark in text with the same number of bytes of safe.
int defuse(char* text, const char* mark, const char* safe);
// The characters ChordPro lets a backslash take literally: '\\', '[', ']', '{', '}', '#', '%', '|'.
bool is_escapable(char c);
// ChordPro's escapes ("\[", "\{", "\#", "\\" and the like) undone in place; returns the new length.
int unescape(char* text, int len);

// ---- the songs of one file (import_rows.cpp) ----
void begin_song(ImportWork* cv);
void set_title(ImportWork* cv, const char* raw, int len);
// One body row (at most 99 characters) of the open song; marked says it is a chord row made here.
void put_row(ImportWork* cv, const char* row, int len, bool marked);
void finish_song(ImportWork* cv);

// ---- a chord row and its lyric row (import_pair.cpp) ----
void clear_pair(RowPair* pair, int gap);
void add_item(RowPair* pair, int col, const char* text, int len, bool chord);
void set_lyric(RowPair* pair, const char* text, int len);
// Writes the pair: the chord row (marked) above its lyric row, broken together.
void emit_pair(ImportWork* cv);
void put_plain(ImportWork* cv, const char* text, int len);
void put_chord_row(ImportWork* cv, const char* row, int len, const char* lyric, int lyric_len);
// A row the chord-row rule would mark, but that has no mark yet.
bool wants_mark(const char* row, int len);

// ---- the formats (import_sheet.cpp, import_chordpro.cpp, import_directives.cpp) ----
void convert_chord_sheet(ImportWork* cv, LineReader* reader);
void convert_chordpro(ImportWork* cv, LineReader* reader);
bool looks_like_chordpro(const unsigned char* text, int len, char* line);
bool read_directive(const char* line, int len, char* name, const char** value, int* value_len);
void handle_directive(ImportWork* cv, const char* name, const char* value, int value_len);
