// Adding songs to the library as new songs, through the same safe replacement as a save.
#include "store/add_songs.h"

#include <cstdint>
#include <cstring>

#include "store/book_format.h"
#include "store/index.h"
#include "store/library_copy.h"
#include "store/record.h"

static_assert(ADD_TITLE_SLOTS >= 2 * ADD_SONGS_MAX, "the title table must stay at most half full");

static uint32_t hash_of(const char* text)
{
    uint32_t h = 2166136261u;
    for (; *text; text++)
        h = (h ^ (unsigned char)*text) * 16777619u;
    return h;
}

// The slot holding this key, or the empty slot where it would go.
static int slot_of(AddSongsWork* w, const char* key)
{
    int slot = (int)(hash_of(key) & (ADD_TITLE_SLOTS - 1));
    while (w->slots[slot] && strcmp(w->keys[w->slots[slot] - 1], key) != 0)
        slot = (slot + 1) & (ADD_TITLE_SLOTS - 1);
    return slot;
}

// Enters every title; a title met before marks the later song.
static void enter_titles(AddSongsWork* w, NewSong* songs, int count)
{
    memset(w->slots, 0, sizeof w->slots);
    for (int i = 0; i < count; i++) {
        copy_bounded(w->keys[i], TITLE_SIZE, songs[i].title);
        make_title_key(w->keys[i]);
        int slot = slot_of(w, w->keys[i]);
        if (w->slots[slot]) {
            songs[i].taken = TITLE_EARLIER_IN_LIST;
        } else {
            songs[i].taken = TITLE_FREE;
            w->slots[slot] = i + 1;
        }
    }
}

// Where the library's titles end for the lookup, and where a new song goes.
struct LibraryEnds {
    long end_mark;           // start of the first end-of-book record; -1: none
    long last_line_end;      // just behind the last record that ended at an LF
};

// Reads the library as the lookup does, marking the songs whose title it has.
// Returns 0, or -1 on a read error.
static int scan_titles(AddSongsWork* w, NewSong* songs, LibraryEnds* ends)
{
    SongFile* file = &w->library;
    *ends = LibraryEnds{-1, 0};
    char record[RECORD_MAX + 1];
    int got;
    while ((got = next_book_record(file, record)) >= 0) {
        if (ended_at_line_feed(file))
            ends->last_line_end = song_file_offset(file);
        if (got == 0) {
            ends->end_mark = file->record_start;
            break;
        }
        if (!is_title_line(record))
            continue;
        char title[TITLE_KEY_SIZE];
        read_title(record, title);
        make_title_key(title);
        int slot = slot_of(w, title);
        if (w->slots[slot])
            songs[w->slots[slot] - 1].taken = TITLE_IN_LIBRARY;
    }
    return file->error ? -1 : 0;
}

// A new song exactly as the editor's save writes one.
static void write_song(const NewSong* song, SafeWrite* out)
{
    char line[TITLE_LINE_SIZE];
    safe_write_bytes(out, line, (size_t)format_title_line(line, sizeof line, song->title));
    safe_write_text(out, " \r\n");
    const char* text = song->body;
    const char* end = song->body + song->body_len;
    while (text < end) {
        const char* stop = (const char*)memchr(text, '\n', (size_t)(end - text));
        int len = stop ? (int)(stop - text) : (int)(end - text);
        safe_write_bytes(out, text, (size_t)len);
        safe_write_text(out, " \r\n");
        text += len + 1;
    }
}

// temp.cnr: the library up to the point, the free songs, the rest of the library.
// Returns 0, or -1 when the library could not be read.
static int write_new_library(SongFile* in, long point, const NewSong* songs, int count, SafeWrite* out)
{
    unsigned char chunk[COPY_CHUNK_SIZE];
    if (copy_bytes(in, 0, point, out, chunk) != 0)
        return -1;
    for (int i = 0; i < count; i++)
        if (songs[i].taken == TITLE_FREE)
            write_song(&songs[i], out);
    return copy_bytes(in, point, -1, out, chunk);
}

static int count_free(const NewSong* songs, int count)
{
    int free_titles = 0;
    for (int i = 0; i < count; i++)
        free_titles += songs[i].taken == TITLE_FREE;
    return free_titles;
}

// Finds the point of insertion; the library stays open for the copy.
static RewriteResult plan_insertion(AddSongsWork* w, NewSong* songs, long* point)
{
    LibraryEnds ends;
    unsigned char chunk[COPY_CHUNK_SIZE];
    if (scan_titles(w, songs, &ends) != 0)
        return REWRITE_NO_LIBRARY;
    *point = ends.end_mark >= 0 ? ends.end_mark : insertion_point(&w->library, ends.last_line_end, chunk);
    return *point < 0 ? REWRITE_NO_LIBRARY : REWRITE_OK;
}

RewriteResult add_songs(NewSong* songs, int count, int* added, WriteResult* why, AddSongsWork* w)
{
    *added = 0;
    *why = WRITE_OK;
    if (count > ADD_SONGS_MAX)
        count = ADD_SONGS_MAX;
    enter_titles(w, songs, count);
    // the lock is held from the reading of the library to the swap
    SafeWrite out;
    *why = safe_write_begin(&out, LIBRARY_FILE, TEMP_FILE);
    if (*why != WRITE_OK)
        return REWRITE_NOT_WRITTEN;
    if (song_file_open(&w->library, LIBRARY_FILE) != 0) {
        safe_write_abandon(&out);
        return REWRITE_NO_LIBRARY;
    }
    long point = 0;
    RewriteResult result = plan_insertion(w, songs, &point);
    int free_titles = count_free(songs, count);
    if (result != REWRITE_OK || free_titles == 0) {
        song_file_close(&w->library);
        safe_write_abandon(&out);
        return result;
    }
    int read_failed = write_new_library(&w->library, point, songs, count, &out);
    // closed before the swap: a file that is open cannot be replaced everywhere
    song_file_close(&w->library);
    if (read_failed != 0) {
        safe_write_abandon(&out);
        return REWRITE_NO_LIBRARY;
    }
    *why = safe_write_commit(&out, BACKUP_FILE);
    if (*why != WRITE_OK)
        return REWRITE_NOT_WRITTEN;
    *added = free_titles;
    return REWRITE_OK;
}
