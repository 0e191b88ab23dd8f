// "Find" of the home dialog: the songs holding the words typed in its title box.
#include "songlist/find_songs.h"

#include <cstring>

#include "resources/resource.h"
#include "shell/shared_state.h"
#include "shell/ui.h"
#include "shell/win_util.h"
#include "store/index.h"
#include "store/search.h"

// Static: the search's working memory and its 4 MB of entries are far larger
// than the stack of the 32-bit program should carry.
static SearchWork search_work;
static FoundSongs found_songs;

void find_songs(HWND dialog)
{
    char words[SEARCH_TEXT_SIZE];
    get_item_text(dialog, IDC_LIST_TITLES, words, sizeof words);
    if (find_songs_by_words(&search_work, &found_songs, LIBRARY_FILE, words) < 0) {
        fill_title_list(dialog, LIBRARY_FILE);
    } else {
        ui_title_list_reset(dialog);
        const char* entry = found_songs.list;
        for (int i = 0; i < found_songs.entries; i++, entry += strlen(entry) + 1)
            ui_title_list_add(dialog, entry);
        ui_title_list_done(dialog);
    }
    ui_set_status(found_songs.status);
    // emptying the title box empties its edit field too: the words are put
    // back, so that they can be changed and searched again
    set_item_text(dialog, IDC_LIST_TITLES, words);
}
