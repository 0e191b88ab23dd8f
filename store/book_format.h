// The library's text format in one place: its marks, the kinds of record, and the chord-row rule.
#pragma once

// The library every reader and every save work on, the library as it was
// before the last save, and the new library while a save is written.
#define LIBRARY_FILE "songbook.cnr"
#define BACKUP_FILE "oldbook.cnr"
#define TEMP_FILE "temp.cnr"

// A record holding "#*#*#" ends the book: nothing after it is a song. A title
// line holds ":::::", a heading entry "*****"; a line starting with ';' is a
// comment; a row holding '<' among its first 99 characters is a chord row.
#define END_MARK "#*#*#"
#define TITLE_MARK ":::::"
#define HEADING_MARK "*****"
enum {
    CHORD_MARK = '<',
    COMMENT_MARK = ';',
    ROW_COLUMNS = 99          // characters of a row as the viewer shows it
};

// Record kinds, each recognised by its mark anywhere in a record; the
// end-of-book marker is tested first and wins.
bool is_end_of_book(const char* record);
bool is_title_line(const char* record);

// The heading entry of a record holding "*****": the text behind the run of
// asterisks up to the next '*', blanks included; the record is cut there in
// place. Null when the record holds no heading.
char* heading_entry(char* record);

// The one chord-row rule, used by the viewer, the transposer, Find, the export,
// the page layout and the editor's hints: a '<' among the row's first 99
// characters (len of them at most; a terminator ends the row earlier).
bool is_chord_row(const char* row, int len);

// The title line, written, read and compared one way. A title is at most
// TITLE_SIZE - 1 (79) characters, as the editor's title box takes; a longer
// title in a hand-edited library is read as its first 79 characters.
enum {
    TITLE_MAX = 79,
    TITLE_KEY_SIZE = TITLE_MAX + 1,
    TITLE_LINE_SIZE = TITLE_MAX + 32
};

// The title line as the program writes it: "::::: TITLE ::::: KEY=xx", ending
// CR CR LF as the library has always stored it. Returns its length.
int format_title_line(char* out, int size, const char* title);

// The title of a title record as the lookup reads it: the blanks after the
// colon run skipped, up to the next colon, without trailing blanks; at most
// TITLE_MAX characters into title (TITLE_KEY_SIZE bytes).
void read_title(const char* record, char* title);

// The form titles are compared in: trimmed and in capitals (Windows-1252
// letters too, so "Noël", "NOëL" and "NOËL" are one title), in place.
void make_title_key(char* title);

// Whether the title record names the song of this key (a make_title_key form).
bool title_line_matches(const char* record, const char* key);

struct SongFile;

// The one scan of the library's records, for every reader: the next record into
// record (RECORD_MAX + 1 bytes). Returns 1 for a record of the book, 0 at the
// end-of-book marker (record holds it, file->record_start is where it starts),
// -1 at the end of the file or on a read error.
int next_book_record(SongFile* file, char* record);

// The same within one song: 1 for a line of its body, 0 at the next title line
// or the end-of-book marker (record holds it), -1 at the end of the file.
int next_song_line(SongFile* file, char* record);
