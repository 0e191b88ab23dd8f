// Finding songs by title: the first song of a title, and where the songs of a list stand.
#include "store/index.h"

#include <cstring>

#include "shell/shared_state.h"
#include "store/book_format.h"

// Titles are compared in capitals without trailing blanks; the lookup leaves
// current_title that way for the viewer, the printing and the editor's save.
void normalise_current_title()
{
    make_title_key(state.current_title);
}

// Reads the open library up to the first song whose title has this key; the
// file then stands behind its title line. Returns true with the title as the
// line spells it in spelled (TITLE_KEY_SIZE bytes, may be null), or false at the
// end of the file or at the end-of-book marker.
bool seek_title(SongFile* file, const char* key, char* record, char* spelled)
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
