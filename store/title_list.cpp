// The title box's entries read from the library: titles and heading entries, in file order.
#include "store/index.h"

#include <cstring>

#include "shell/shared_state.h"
#include "store/book_format.h"

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
