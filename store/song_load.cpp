// Loading a song's rows: for the viewer, and into tables of the caller's own.
#include "store/index.h"

#include <cstring>

#include "shell/shared_state.h"
#include "store/book_format.h"

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

void clear_display_lines()
{
    for (int row = 0; row < LINE_ROWS; row++)
        state.display_lines[row][0] = 0;
}
