// "Print List": the running order and every song of the list in its key, in one print job.
#include <windows.h>

#include "layout/page_layout.h"
#include "layout/service_pages.h"
#include "resources/resource.h"
#include "shell/shared_state.h"
#include "songlist/service.h"
#include "store/index.h"
#include "viewer/print_pages.h"
#include "viewer/viewer.h"

enum { DATE_SIZE = 80, DOCUMENT_NAME_SIZE = 40, STATUS_SIZE = 200 };

// The page being printed, in a table of its own: the viewer's song stays as it is.
static SongLines print_page;

// The date as the user's settings write it in full, for the running order.
static void long_date(char* text, int size)
{
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, nullptr, nullptr, text, size))
        copy_bounded(text, size, " ");
}

// The spooler lists the job as "SONG LIST 2024-05-12".
static void document_name(char* text, int size)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wsprintfA(text, "SONG LIST %04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    text[size - 1] = 0;
}

// "Printing 12 of 30" in the home screen's status, drawn at once: the print
// runs on without handing messages out, so nothing else would paint it.
static void show_progress(HWND dialog, int song, int count)
{
    char text[40];
    wsprintfA(text, "Printing %d of %d", song, count);
    SetDlgItemTextA(dialog, IDC_LIST_STATUS, text);
    UpdateWindow(GetDlgItem(dialog, IDC_LIST_STATUS));
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

// The running order on the viewer's page, as "* Print" would print it; every
// song on songbook pages in its key.
static void print_service(HWND dialog, HDC dc, const SongListEntry* songs, int count, Letters wanted)
{
    long title_at[SONG_LIST_SIZE];
    char date[DATE_SIZE];
    find_titles(songs, count, title_at);
    long_date(date, sizeof date);
    build_running_order(songs, title_at, count, date, &print_page);
    PrintWork work;
    PrintedSong page = {print_page.title, "", print_page.raw, print_page.shown, print_page.count, wanted, true};
    print_song_pages(dc, &page, &work);
    for (int i = 0; i < count; i++) {
        show_progress(dialog, i + 1, count);
        char key[16];
        load_service_song(&songs[i], title_at[i], &print_page);
        key_change_text(songs[i].key_change, key, sizeof key);
        PrintedSong song = {print_page.title, key, print_page.raw, print_page.shown, print_page.count, wanted, false};
        print_song_pages(dc, &song, &work);
    }
}

void print_song_list(HWND dialog)
{
    SongListEntry songs[SONG_LIST_SIZE];
    int count = read_service(dialog, songs);
    if (count == 0) {
        MessageBoxA(dialog, "The song list is empty: there is nothing to print.\r"
                            "Choose songs or load a list first.", "PRINT LIST", MB_OK);
        return;
    }
    int cell_height, cell_width;
    magnified_cell(&cell_height, &cell_width);
    PRINTDLGA request;
    if (!ask_for_printer(&request))
        return;
    HCURSOR kept_cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    char kept_status[STATUS_SIZE];
    GetDlgItemTextA(dialog, IDC_LIST_STATUS, kept_status, sizeof kept_status);
    char name[DOCUMENT_NAME_SIZE];
    document_name(name, sizeof name);
    HDC dc = request.hDC;
    if (dc && start_document(dc, name)) {
        print_service(dialog, dc, songs, count, {PRINT_SCALE * cell_height, PRINT_SCALE * cell_width, false});
        EndDoc(dc);
    }
    release_printer(&request);
    SetDlgItemTextA(dialog, IDC_LIST_STATUS, kept_status);
    SetCursor(kept_cursor);
}
