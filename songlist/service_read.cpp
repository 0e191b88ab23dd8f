// The service a home dialog holds: the rows of its song list box, with the key changes of Run.
#include "layout/service_pages.h"
#include "shell/ui.h"
#include "songlist/service.h"

int read_service(HWND dialog, SongListEntry* songs)
{
    char titles[SONG_LIST_SIZE][TITLE_SIZE];
    int count = ui_song_list_count(dialog);
    if (count > SONG_LIST_SIZE)
        count = SONG_LIST_SIZE;
    int read = 0;
    // a row that cannot be read ends the list there
    while (read < count && ui_song_list_get(dialog, read, titles[read], TITLE_SIZE) == 0)
        read++;
    return make_service(titles, read, state.song_list, songs);
}
