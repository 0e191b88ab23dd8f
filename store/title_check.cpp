// Whether a library holds two songs of one title, of which only the first can be opened.
#include "store/title_check.h"

#include <cstring>

#include "store/editor_text.h"

// Adds a hash to the set; returns true when it was there already. A full set
// takes nothing more: a library of more titles is checked as far as it goes.
static bool seen_before(TitleCheck* work, uint64_t hash)
{
    hash = hash ? hash : 1;
    uint32_t slot = (uint32_t)(hash % TITLE_CHECK_SLOTS);
    for (int probes = 0; probes < TITLE_CHECK_SLOTS / 2; probes++) {
        if (work->seen[slot] == hash)
            return true;
        if (work->seen[slot] == 0) {
            work->seen[slot] = hash;
            return false;
        }
        slot = (slot + 1) % TITLE_CHECK_SLOTS;
    }
    return false;
}

int count_repeated_titles(const char* file_name, TitleCheck* work, char* title)
{
    title[0] = 0;
    memset(work->seen, 0, sizeof work->seen);
    if (song_file_open(&work->file, file_name) != 0)
        return 0;
    int repeated = 0;
    while (next_book_record(&work->file, work->record) > 0) {
        if (!is_title_line(work->record))
            continue;
        char key[TITLE_KEY_SIZE];
        read_title(work->record, key);
        make_title_key(key);
        if (seen_before(work, hash_bytes(HASH_START, key, strlen(key)))) {
            if (repeated++ == 0)
                copy_bounded(title, TITLE_KEY_SIZE, key);
        }
    }
    song_file_close(&work->file);
    return repeated;
}
