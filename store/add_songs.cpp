// Adding songs to the library as new songs, through the same safe replacement as a save.
#include "store/add_songs.h"

#include <cstdint>
#include <cstring>

#include "store/file_replace.h"
#include "store/index.h"
#include "store/library_copy.h"
#include "store/record.h"

enum {
    TITLE_SLOTS = 4096       // open addressing, at most half full
};

static_assert(TITLE_SLOTS >= 2 * ADD_SONGS_MAX, "the title table must stay at most half full");


// The new titles as the lookup compares them, found by a hash: a library of
// 10,000 songs is checked against a few hundred titles in one reading.
static char keys[ADD_SONGS_MAX][TITLE_SIZE];
static int slots[TITLE_SLOTS];          // index + 1 of a song, 0: empty
static SongFile library;

static uint32_t hash_of(const char* text)
{
    uint32_t h = 2166136261u;
    for (; *text; text++)
        h = (h ^ (unsigned char)*text) * 16777619u;
    return h;
}

// The slot holding this key, or the empty slot where it would go.
static int slot_of(const char* key)
{
    int slot = (int)(hash_of(key) & (TITLE_SLOTS - 1));
    while (slots[slot] && strcmp(keys[slots[slot] - 1], key) != 0)
        slot = (slot + 1) & (TITLE_SLOTS - 1);
    return slot;
}

// Enters every title; a title met before marks the later song.
static void enter_titles(NewSong* songs, int count)
{
    memset(slots, 0, sizeof slots);
    for (int i = 0; i < count; i++) {
        copy_bounded(keys[i], TITLE_SIZE, songs[i].title);
        trim_trailing(keys[i]);
        upper_case(keys[i]);
        int slot = slot_of(keys[i]);
        if (slots[slot]) {
            songs[i].taken = TITLE_EARLIER_IN_LIST;
        } else {
            songs[i].taken = TITLE_FREE;
            slots[slot] = i + 1;
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
static int scan_titles(SongFile* file, NewSong* songs, LibraryEnds* ends)
{
    *ends = LibraryEnds{-1, 0};
    char* record = state.line_buf;
    while (read_record(file, record) == 0) {
        if (ended_at_line_feed(file))
            ends->last_line_end = song_file_offset(file);
        if (is_end_of_book(record)) {
            ends->end_mark = file->record_start;
            break;
        }
        if (!is_title_line(record))
            continue;
        char* title = extract_title(record, SKIP_ALL_BLANKS);
        trim_trailing(title);
        upper_case(title);
        int slot = slot_of(title);
        if (slots[slot])
            songs[slots[slot] - 1].taken = TITLE_IN_LIBRARY;
    }
    return file->error ? -1 : 0;
}

static bool put_text(const char* text, FILE* out)
{
    return fputs(text, out) != EOF;
}

// A new song exactly as the editor's save writes one.
static bool write_song(const NewSong* song, FILE* out)
{
    if (!put_text("::::: ", out) || !put_text(song->title, out) || !put_text(" ::::: KEY=xx\r\r\n", out) ||
        !put_text(" \r\n", out))
        return false;
    const char* line = song->body;
    const char* end = song->body + song->body_len;
    while (line < end) {
        const char* stop = (const char*)memchr(line, '\n', (size_t)(end - line));
        int len = stop ? (int)(stop - line) : (int)(end - line);
        if (fwrite(line, 1, (size_t)len, out) != (size_t)len || !put_text(" \r\n", out))
            return false;
        line += len + 1;
    }
    return true;
}

// temp.cnr: the library up to the point, the free songs, the rest of the library, on the disk.
static RewriteResult write_new_library(SongFile* in, long point, const NewSong* songs, int count, FILE* out)
{
    RewriteResult result = copy_bytes(in, 0, point, out);
    if (result != REWRITE_OK)
        return result;
    for (int i = 0; i < count; i++) {
        if (songs[i].taken == TITLE_FREE && !write_song(&songs[i], out))
            return REWRITE_WRITE_FAILED;
    }
    result = copy_bytes(in, point, -1, out);
    if (result != REWRITE_OK)
        return result;
    return flush_to_disk(out) == 0 ? REWRITE_OK : REWRITE_WRITE_FAILED;
}

static int count_free(const NewSong* songs, int count)
{
    int free_titles = 0;
    for (int i = 0; i < count; i++)
        free_titles += songs[i].taken == TITLE_FREE;
    return free_titles;
}

// Finds the point of insertion; the library stays open for the copy.
static RewriteResult plan_insertion(NewSong* songs, long* point)
{
    LibraryEnds ends;
    if (scan_titles(&library, songs, &ends) != 0)
        return REWRITE_NO_LIBRARY;
    *point = ends.end_mark >= 0 ? ends.end_mark : insertion_point(&library, ends.last_line_end);
    return *point < 0 ? REWRITE_NO_LIBRARY : REWRITE_OK;
}

RewriteResult add_songs(NewSong* songs, int count, int* added)
{
    *added = 0;
    if (count > ADD_SONGS_MAX)
        count = ADD_SONGS_MAX;
    enter_titles(songs, count);
    if (song_file_open(&library, LIBRARY_FILE) != 0)
        return REWRITE_NO_LIBRARY;
    long point = 0;
    RewriteResult result = plan_insertion(songs, &point);
    int free_titles = count_free(songs, count);
    if (result != REWRITE_OK || free_titles == 0) {
        song_file_close(&library);
        return result;
    }

    FILE* out = fopen(TEMP_FILE, "wb");
    if (!out) {
        song_file_close(&library);
        return REWRITE_NO_TEMP;
    }
    result = write_new_library(&library, point, songs, count, out);
    if (fclose(out) != 0 && result == REWRITE_OK)
        result = REWRITE_WRITE_FAILED;
    // closed before the swap: a file that is open cannot be replaced everywhere
    song_file_close(&library);
    if (result == REWRITE_OK && replace_with_backup(LIBRARY_FILE, TEMP_FILE, BACKUP_FILE) != 0)
        result = REWRITE_SWAP_FAILED;
    if (result != REWRITE_OK) {
        remove(TEMP_FILE);
        return result;
    }
    *added = free_titles;
    return REWRITE_OK;
}
