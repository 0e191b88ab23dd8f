// A whole song list on paper: its songs in their keys, the running order page.
#include "layout/service_pages.h"

#include <cstdio>
#include <cstring>

#include "store/record.h"
#include "transpose/transpose.h"

static const char not_found_text[] = "Song Not Found";

int service_key(int key_change)
{
    return key_change < -12 || key_change > 12 ? 0 : key_change;
}

void key_change_text(int key_change, char* buf, int size)
{
    snprintf(buf, (size_t)size, key_change == 0 ? "%d" : "%+d", key_change);
}

int make_service(const char (*titles)[TITLE_SIZE], int count, const SongListEntry* entries, SongListEntry* songs)
{
    if (count > SONG_LIST_SIZE)
        count = SONG_LIST_SIZE;
    for (int i = 0; i < count; i++) {
        copy_bounded(songs[i].title, TITLE_SIZE, titles[i]);
        songs[i].key_change = service_key(entries[i].key_change);
    }
    return count < 0 ? 0 : count;
}

static void add_row(SongLines* page, const char* text)
{
    if (page->count >= LINE_ROWS)
        return;
    copy_bounded(page->raw[page->count], LINE_WIDTH, text);
    copy_bounded(page->shown[page->count], LINE_WIDTH, text);
    page->count++;
}

// Rows read " 1.  +2  Amazing Grace": the key changes in one column ahead of
// the titles, so that a long title never pushes them off the paper.
void build_running_order(const SongListEntry* songs, const long* title_at, int count, const char* date,
                         SongLines* page)
{
    copy_bounded(page->title, sizeof page->title, "SONG LIST");
    copy_bounded(page->spelled, sizeof page->spelled, page->title);
    page->count = 0;
    add_row(page, date);
    add_row(page, " ");
    for (int i = 0; i < count && i < SONG_LIST_SIZE; i++) {
        char title[TITLE_SIZE];
        char key[16];
        char row[2 * LINE_WIDTH];   // add_row keeps 99 characters of it
        copy_bounded(title, sizeof title, songs[i].title);
        trim_trailing(title);
        key_change_text(songs[i].key_change, key, sizeof key);
        snprintf(row, sizeof row, "%2d. %3s  %s", i + 1, key, title);
        add_row(page, row);
        if (title_at[i] < 0) {
            snprintf(row, sizeof row, "         %s", not_found_text);
            add_row(page, row);
        }
    }
}

int load_service_song(const SongListEntry* song, long title_at, SongLines* lines)
{
    int found = load_song_lines_at(song->title, title_at, lines);
    transpose_lines(lines->raw, lines->shown, lines->count, song->key_change);
    if (found != 0) {
        copy_bounded(lines->raw[1], LINE_WIDTH, not_found_text);
        copy_bounded(lines->shown[1], LINE_WIDTH, not_found_text);
        lines->count = 2;
    }
    return found;
}
