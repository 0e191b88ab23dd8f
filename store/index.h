// The song index: the title list, finding a song, loading it, the markup filter.
#pragma once

#include "shell/shared_state.h"
#include "store/book_format.h"
#include "store/record.h"

enum {
    TITLE_LIST_BYTES = 4 << 20,   // 4 MB: some 200,000 titles
    TITLE_SEEN_SLOTS = 1 << 16,   // titles checked for a second song of one title
    INDEX_RECORD_SIZE = 1000      // one record of RECORD_MAX characters and its zero
};

static_assert(INDEX_RECORD_SIZE >= RECORD_MAX + 1, "read_record needs RECORD_MAX + 1 bytes");

// The entries of the title box: titles and heading entries in file order, each
// followed by its zero; and whether two songs share a title, of which only the
// first can be opened.
struct TitleList {
    int count;
    int used;
    int full;                   // the list filled up: later entries are missing
    char text[TITLE_LIST_BYTES];
    int repeated;               // title lines that repeat a title met before (hidden ones too)
    char repeated_title[TITLE_KEY_SIZE];   // the first of them, as the lookup compares it
    uint64_t seen[TITLE_SEEN_SLOTS];       // hashes of the title keys met, 0: empty
};

// Reads the titles (and heading entries) of the library into list, in one pass
// that also counts the repeated titles; hidden titles (first byte '/') are
// listed only while state.show_hidden is set.
void read_title_list(const char* file_name, TitleList* list);

// Upper-cases and trims state.current_title in place, then reads the open library
// up to the first song of that title. Returns 0 with the file positioned behind
// the title line, or -1 at the end of the file or at the end-of-book marker.
int find_song(SongFile* file);

// current_title trimmed and in capitals, the form titles are compared in.
void normalise_current_title();

// Reads the open library up to the first song whose title has this key; the
// file then stands behind its title line. Returns true with the title as the
// line spells it in spelled (TITLE_KEY_SIZE bytes, may be null), or false at the
// end of the file or at the end-of-book marker.
bool seek_title(SongFile* file, const char* key, char* record, char* spelled);

// Loads the body of state.current_title into raw_lines / display_lines; row 0 is
// always a single blank, line_count is 1 to 200. A song not found (or a library
// that cannot be opened) leaves the single blank row. Returns 0, or -1 when the
// song was not found.
int load_song();

// A song's rows in tables of the caller's own, for the work on a whole song list
// (printing, exporting) that must leave the viewer's song as it is.
struct SongLines {
    char title[TITLE_SIZE];     // as asked for, trimmed and in capitals, as the viewer shows it
    char spelled[TITLE_SIZE];   // as the library spells it (as asked for when not found)
    int32_t count;              // 1 to 200; row 0 is a single blank, as load_song gives
    char raw[LINE_ROWS][LINE_WIDTH];
    char shown[LINE_ROWS][LINE_WIDTH];
};

// Where the songs of a list stand in the library: title_at[i] = the file offset
// of the title line of songs[i], or -1 when the title is not in the library.
// One pass over the library for at most 30 titles.
void find_titles(const SongListEntry* songs, int count, long* title_at);

// Loads the song of this title from the library into song->raw (and a copy into
// song->shown) with the rows load_song would give, starting at the title line
// that find_titles gave (-1: none),
// so that a list of 30 songs reads the library once, not 30 times. A library
// changed since is searched from its start. Returns 0, or -1 when the title is
// not in the library (or it cannot be opened): then only the blank row.
int load_song_lines_at(const char* title, long title_at, SongLines* song);

// Removes the first occurrence of each word-processor control word from the
// line, then every '&'.
void strip_markup_text(char* line);

// Whether the title list shows a title: a hidden one (first byte '/') only
// while state.show_hidden is set.
bool title_listed(const char* title);

// Sets the first byte of each of the 200 display rows to zero.
void clear_display_lines();
