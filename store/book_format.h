// The library's text format in one place: its marks, the kinds of record, and the chord-row rule.
#pragma once

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
