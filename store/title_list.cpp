// The title box's entries read from the library: titles and heading entries, in file order.
#include "store/index.h"

#include <cstring>

#include "shell/shared_state.h"
#include "store/book_format.h"
#include "store/editor_text.h"

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

// Adds a title's hash to the set; true when it was there already. A full set
// takes nothing more: a library of more titles is checked as far as it goes.
static bool seen_before(TitleList* list, uint64_t hash)
{
    hash = hash ? hash : 1;
    uint32_t slot = (uint32_t)(hash % TITLE_SEEN_SLOTS);
    for (int probes = 0; probes < TITLE_SEEN_SLOTS / 2; probes++) {
        if (list->seen[slot] == hash)
            return true;
        if (list->seen[slot] == 0) {
            list->seen[slot] = hash;
            return false;
        }
        slot = (slot + 1) % TITLE_SEEN_SLOTS;
    }
    return false;
}

static void note_repeat(TitleList* list, const char* record)
{
    char key[TITLE_KEY_SIZE];
    read_title(record, key);
    make_title_key(key);
    if (seen_before(list, hash_bytes(HASH_START, key, strlen(key))) && list->repeated++ == 0)
        copy_bounded(list->repeated_title, TITLE_KEY_SIZE, key);
}

void read_title_list(const char* file_name, TitleList* list)
{
    char record[INDEX_RECORD_SIZE];
    SongFile file;
    list->count = list->used = list->full = list->repeated = 0;
    list->repeated_title[0] = 0;
    memset(list->seen, 0, sizeof list->seen);
    if (song_file_open(&file, file_name) != 0)
        return;
    while (next_book_record(&file, record) > 0) {
        const char* star = strchr(record, '*');
        if (is_title_line(record)) {
            note_repeat(list, record);
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
