// Song index and lookup: the title list, finding a song, loading it, the markup filter.
#include "store/index.h"

#include <cstring>

#include "shell/shared_state.h"
#include "store/book_format.h"
#include "shell/ui.h"

enum {
    INDEX_RECORD_SIZE = 1000    // one record of RECORD_MAX characters and its zero
};

static_assert(INDEX_RECORD_SIZE >= RECORD_MAX + 1, "read_record needs RECORD_MAX + 1 bytes");

bool title_listed(const char* title)
{
    return state.show_hidden || title[0] != '/';
}

void fill_title_list(UiWindow dialog, const char* file_name)
{
    char record[INDEX_RECORD_SIZE];
    SongFile file;
    ui_title_list_reset(dialog);
    if (song_file_open(&file, file_name) != 0) {
        ui_title_list_done(dialog);
        return;
    }
    while (read_record(&file, record) == 0) {
        const char* star = strchr(record, '*');
        if (star && is_end_of_book(record))
            break;
        if (is_title_line(record)) {
            // extract_title cuts the record at the title's end, so a heading
            // behind the title is not seen below; one before the colons is
            char* title = extract_title(record, SKIP_ALL_BLANKS);
            if (title_listed(title))
                ui_title_list_add(dialog, title);
        }
        char* heading = star ? heading_entry(record) : nullptr;
        if (heading)
            ui_title_list_add(dialog, heading);
    }
    song_file_close(&file);
    ui_title_list_done(dialog);
}

// Titles are compared in capitals without trailing blanks; the lookup leaves
// current_title that way for the viewer, the printing and the editor's save.
static void normalise_current_title()
{
    upper_case(state.current_title);
    trim_trailing(state.current_title);
}

// Whether text equals wanted once its letters a to z are in capitals (as
// upper_case would make them), without changing text.
static bool equals_in_capitals(const char* text, const char* wanted)
{
    for (;; text++, wanted++) {
        char c = *text >= 'a' && *text <= 'z' ? (char)(*text - 'a' + 'A') : *text;
        if (c != *wanted)
            return false;
        if (c == 0)
            return true;
    }
}

// Reads the open library up to the first song whose title, trimmed and in
// capitals, equals wanted (already so); the file then stands behind its title
// line. Returns the title as the line spells it (cut out of record, trimmed),
// or null at the end of the file or at the end-of-book marker.
static char* seek_title(SongFile* file, const char* wanted, char* record)
{
    while (read_record(file, record) == 0) {
        if (is_end_of_book(record))
            break;
        if (!is_title_line(record))
            continue;
        char* title = extract_title(record, SKIP_ALL_BLANKS);
        trim_trailing(title);
        if (equals_in_capitals(title, wanted))
            return title;
    }
    return nullptr;
}

int find_song(SongFile* file)
{
    normalise_current_title();
    if (seek_title(file, state.current_title, state.line_buf)) {
        ui_set_status(" ");
        return 0;
    }
    ui_set_status("Song Not Found");
    return -1;
}

// Reads the song body behind the title line into rows, up to the next title
// line or the end-of-book marker; rows past the 200th are not kept.
static void read_song_body(SongFile* file, char* record, char (*rows)[LINE_WIDTH], int32_t* count)
{
    while (*count < LINE_ROWS && read_record(file, record) == 0) {
        if (is_end_of_book(record) || is_title_line(record))
            break;
        strip_markup_text(record);
        copy_bounded(rows[*count], LINE_WIDTH, record);
        (*count)++;
    }
}

void load_song()
{
    copy_bounded(state.raw_lines[0], LINE_WIDTH, " ");
    state.line_count = 1;

    SongFile file;
    if (song_file_open(&file, LIBRARY_FILE) == 0) {
        if (find_song(&file) == 0)
            read_song_body(&file, state.line_buf, state.raw_lines, &state.line_count);
        song_file_close(&file);
    } else {
        // a library that cannot be opened holds no song at all
        normalise_current_title();
        ui_set_status("Song Not Found");
    }

    for (int row = 0; row < state.line_count; row++)
        copy_bounded(state.display_lines[row], LINE_WIDTH, state.raw_lines[row]);
}

// The title line at offset, cut out of record, when it is still the line of
// the title wanted; else null.
static char* title_at_offset(SongFile* file, long offset, const char* wanted, char* record)
{
    if (song_file_seek(file, offset) != 0 || read_record(file, record) != 0 || !is_title_line(record))
        return nullptr;
    char* title = extract_title(record, SKIP_ALL_BLANKS);
    trim_trailing(title);
    return equals_in_capitals(title, wanted) ? title : nullptr;
}

// The same rows as load_song, into the caller's tables: nothing of the shared
// state (the viewer's song, current_title, the status text) is touched.
int load_song_lines_at(const char* title, long title_at, SongLines* song)
{
    char wanted[TITLE_SIZE];
    char record[INDEX_RECORD_SIZE];
    copy_bounded(wanted, sizeof wanted, title);
    upper_case(wanted);
    trim_trailing(wanted);
    copy_bounded(song->title, sizeof song->title, wanted);
    copy_bounded(song->raw[0], LINE_WIDTH, " ");
    song->count = 1;
    int found = -1;
    SongFile file;
    if (song_file_open(&file, LIBRARY_FILE) == 0) {
        const char* spelled = title_at >= 0 ? title_at_offset(&file, title_at, wanted, record) : nullptr;
        // no place known, or the library changed since: the lookup from the start
        if (!spelled && (title_at < 0 || song_file_seek(&file, 0) == 0))
            spelled = seek_title(&file, wanted, record);
        if (spelled) {
            copy_bounded(song->spelled, sizeof song->spelled, spelled);
            read_song_body(&file, record, song->raw, &song->count);
            found = 0;
        }
        song_file_close(&file);
    }
    if (found != 0) {
        copy_bounded(song->spelled, sizeof song->spelled, title);
        trim_trailing(song->spelled);
    }
    for (int row = 0; row < song->count; row++)
        copy_bounded(song->shown[row], LINE_WIDTH, song->raw[row]);
    return found;
}

int load_song_lines(const char* title, SongLines* song)
{
    return load_song_lines_at(title, -1, song);
}

void find_titles(const SongListEntry* songs, int count, long* title_at)
{
    char wanted[SONG_LIST_SIZE][TITLE_SIZE];
    char record[INDEX_RECORD_SIZE];
    if (count > SONG_LIST_SIZE)
        count = SONG_LIST_SIZE;
    for (int i = 0; i < count; i++) {
        copy_bounded(wanted[i], TITLE_SIZE, songs[i].title);
        upper_case(wanted[i]);
        trim_trailing(wanted[i]);
        title_at[i] = -1;
    }
    SongFile file;
    if (song_file_open(&file, LIBRARY_FILE) != 0)
        return;
    // one pass over the library for the whole list; the first song of a title counts
    while (read_record(&file, record) == 0) {
        if (is_end_of_book(record))
            break;
        if (!is_title_line(record))
            continue;
        long at = file.record_start;
        char* title = extract_title(record, SKIP_ALL_BLANKS);
        trim_trailing(title);
        for (int i = 0; i < count; i++)
            if (title_at[i] < 0 && equals_in_capitals(title, wanted[i]))
                title_at[i] = at;
    }
    song_file_close(&file);
}

// Control words that text pasted from a rich-text document leaves in a line.
// "\pard" must go before "\par" is searched and "\nowidctlpar" before "\now".
static const char* const markup_words[] = {
    "\\pard", "\\par", "\\nowidctlpar", "\\f0", "\\now", "\\tab", "\\page",
};

void strip_markup_text(char* line)
{
    if (strchr(line, '\\')) {
        for (const char* word : markup_words) {
            char* p = strstr(line, word);
            if (p)
                memset(p, '&', strlen(word));
        }
    }
    // every '&' goes, also one that belonged to the text
    char* out = line;
    for (char* in = line; *in; in++) {
        if (*in != '&')
            *out++ = *in;
    }
    *out = 0;
}

void strip_markup()
{
    strip_markup_text(state.line_buf);
}

void clear_display_lines()
{
    for (int row = 0; row < LINE_ROWS; row++)
        state.display_lines[row][0] = 0;
}
