// A whole song list on paper: its songs in their keys, the running order page.
#pragma once

#include "shell/shared_state.h"
#include "store/index.h"

// The key a song of the list is played in: its entry's key change by the rule
// of Run (values outside -12..12 count as 0).
int service_key(int key_change);

// A key change as the printed list shows it: "+2", "-3", "0".
void key_change_text(int key_change, char* buf, int size);

// The running order as the home dialog hands it over: titles[i] the rows of
// its song list box as it shows them (count of them, at most 30 taken), each
// given the key change of entries[i] by service_key. Returns the count taken.
int make_service(const char (*titles)[TITLE_SIZE], int count, const SongListEntry* entries, SongListEntry* songs);

// The running order page into page: title "SONG LIST", row 0 the date, then a
// numbered row per song with its key change; a song not in the library
// (title_at[i] -1, as find_titles gives) gets the row "Song Not Found" beneath it.
void build_running_order(const SongListEntry* songs, const long* title_at, int count, const char* date,
                         SongLines* page);

// A song of the list as it prints: loaded and transposed by its key change
// exactly as the viewer paints it while running the list; its pages' headers
// are its title and key change (page_header). A title not in the library gets
// the row "Song Not Found". title_at: where find_titles found it. Returns 0,
// or -1 when not found.
int load_service_song(const SongListEntry* song, long title_at, SongLines* lines);
