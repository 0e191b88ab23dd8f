// Song index and lookup: the title list, finding a song, loading it, the markup filter.
#include "store/index.h"

#include <cstring>

#include "shell/shared_state.h"
#include "store/book_format.h"

enum {
    INDEX_RECORD_SIZE = 1000    // one record of RECORD_MAX characters and its zero
};

static_assert(INDEX_RECORD_SIZE >= RECORD_MAX + 1, "read_record needs RECORD_MAX + 1 bytes");

bool title_listed(const char* title)
{
    return state.show_hidden || title[0] != '/';
}

// Adds an entry and its zero; a full list takes nothing more and says so.
static void add_entry(TitleList* list, const char* entry)
{
    int len = (int)strlen(entry);
    if (list->used + len + 1 > TITLE_LIST_BYTES) {
        list->full = 1;
        return;
    }
    memcpy(list->text + list->used, entry, (size_t)len + 1);
    list->used += len + 1;
    list->count++;
}

void read_title_list(const char* file_name, TitleList* list)
{
    char record[INDEX_RECORD_SIZE];
    SongFile file;
    list->count = list->used = list->full = 0;
    if (song_file_open(&file, file_name) != 0)
        return;
    while (next_book_record(&file, record) > 0) {
        const char* star = strchr(record, '*');
        if (is_title_line(record)) {
            // extract_title cuts the record at the title's end, so a heading
            // behind the title is not seen below; one before the colons is
            char* title = extract_title(record, SKIP_ALL_BLANKS);
            if (title_listed(title))
                add_entry(list, title);
        }
        char* heading = star ? heading_entry(record) : nullptr;
        if (heading)
            add_entry(list, heading);
    }
    song_file_close(&file);
}

// Titles are compared in capitals without trailing blanks; the lookup leaves
// current_title that way for the viewer, the printing and the editor's save.
static void normalise_current_title()
{
    make_title_key(state.current_title);
}

// Reads the open library up to the first song whose title has this key; the
// file then stands behind its title line. Returns true with the title as the
// line spells it in spelled (TITLE_KEY_SIZE bytes, may be null), or false at the
// end of the file or at the end-of-book marker.
static bool seek_title(SongFile* file, const char* key, char* record, char* spelled)
{
    while (next_book_record(file, record) > 0) {
        if (is_title_line(record) && title_line_matches(record, key)) {
            if (spelled)
                read_title(record, spelled);
            return true;
        }
    }
    return false;
}

int find_song(SongFile* file)
{
    char record[INDEX_RECORD_SIZE];
    normalise_current_title();
    return seek_title(file, state.current_title, record, nullptr) ? 0 : -1;
}

// Reads the song body behind the title line into rows, up to the next title
// line or the end-of-book marker; rows past the 200th are not kept.
static void read_song_body(SongFile* file, char* record, char (*rows)[LINE_WIDTH], int32_t* count)
{
    while (*count < LINE_ROWS && next_song_line(file, record) > 0) {
        strip_markup_text(record);
        copy_bounded(rows[*count], LINE_WIDTH, record);
        (*count)++;
    }
}

int load_song()
{
    char record[INDEX_RECORD_SIZE];
    copy_bounded(state.raw_lines[0], LINE_WIDTH, " ");
    state.line_count = 1;

    int found = -1;
    SongFile file;
    if (song_file_open(&file, LIBRARY_FILE) == 0) {
        found = find_song(&file);
        if (found == 0)
            read_song_body(&file, record, state.raw_lines, &state.line_count);
        song_file_close(&file);
    } else {
        // a library that cannot be opened holds no song at all
        normalise_current_title();
    }

    for (int row = 0; row < state.line_count; row++)
        copy_bounded(state.display_lines[row], LINE_WIDTH, state.raw_lines[row]);
    return found;
}

// Whether the title line of the wanted song still stands at offset; spelled
// then receives its title as the line spells it.
static bool title_at_offset(SongFile* file, long offset, const char* key, char* record, char* spelled)
{
    if (song_file_seek(file, offset) != 0 || read_record(file, record) != 0 || !is_title_line(record) ||
        !title_line_matches(record, key))
        return false;
    read_title(record, spelled);
    return true;
}

// The same rows as load_song, into the caller's tables: nothing of the shared
// state (the viewer's song, current_title, the status text) is touched.
int load_song_lines_at(const char* title, long title_at, SongLines* song)
{
    char wanted[TITLE_SIZE];
    char record[INDEX_RECORD_SIZE];
    char spelled[TITLE_KEY_SIZE];
    copy_bounded(wanted, sizeof wanted, title);
    make_title_key(wanted);
    copy_bounded(song->title, sizeof song->title, wanted);
    copy_bounded(song->raw[0], LINE_WIDTH, " ");
    song->count = 1;
    int found = -1;
    SongFile file;
    if (song_file_open(&file, LIBRARY_FILE) == 0) {
        bool at = title_at >= 0 && title_at_offset(&file, title_at, wanted, record, spelled);
        // no place known, or the library changed since: the lookup from the start
        if (at || ((title_at < 0 || song_file_seek(&file, 0) == 0) && seek_title(&file, wanted, record, spelled))) {
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

void find_titles(const SongListEntry* songs, int count, long* title_at)
{
    char wanted[SONG_LIST_SIZE][TITLE_SIZE];
    char record[INDEX_RECORD_SIZE];
    if (count > SONG_LIST_SIZE)
        count = SONG_LIST_SIZE;
    for (int i = 0; i < count; i++) {
        copy_bounded(wanted[i], TITLE_SIZE, songs[i].title);
        make_title_key(wanted[i]);
        title_at[i] = -1;
    }
    SongFile file;
    if (song_file_open(&file, LIBRARY_FILE) != 0)
        return;
    // one pass over the library for the whole list; the first song of a title counts
    while (next_book_record(&file, record) > 0) {
        if (!is_title_line(record))
            continue;
        long at = file.record_start;
        char key[TITLE_KEY_SIZE];
        read_title(record, key);
        make_title_key(key);
        for (int i = 0; i < count; i++)
            if (title_at[i] < 0 && strcmp(key, wanted[i]) == 0)
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

void clear_display_lines()
{
    for (int row = 0; row < LINE_ROWS; row++)
        state.display_lines[row][0] = 0;
}
