// "Find" of the home dialog: the songs holding the words typed in its title box.
#include "songlist/find_songs.h"

#include "resources/resource.h"
#include "shell/shared_state.h"
#include "shell/win_util.h"
#include "store/index.h"
#include "store/search.h"

void find_songs(HWND dialog)
{
    char words[SEARCH_TEXT_SIZE];
    get_item_text(dialog, IDC_LIST_TITLES, words, sizeof words);
    find_songs_by_words(dialog, LIBRARY_FILE, words);
    // emptying the title box empties its edit field too: the words are put
    // back, so that they can be changed and searched again
    set_item_text(dialog, IDC_LIST_TITLES, words);
}
