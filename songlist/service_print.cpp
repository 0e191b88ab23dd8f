// "Print List": the running order and every song of the list in its key, in one print job.
#include <windows.h>

#include "layout/page_layout.h"
#include "layout/service_pages.h"
#include "shell/shared_state.h"
#include "songlist/service.h"
#include "store/index.h"
#include "viewer/print_pages.h"
#include "viewer/viewer.h"

enum { DATE_SIZE = 80, DOCUMENT_NAME_SIZE = 40 };

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

static void print_service(HDC dc, HFONT font, const SongListEntry* songs, int count, int cell_height)
{
    long title_at[SONG_LIST_SIZE];
    char date[DATE_SIZE];
    find_titles(songs, count, title_at);
    long_date(date, sizeof date);
    build_running_order(songs, title_at, count, date, &print_page);
    print_rows(dc, font, print_page.title, print_page.raw, print_page.shown, print_page.count, cell_height);
    for (int i = 0; i < count; i++) {
        char title[LINE_WIDTH];
        load_service_song(&songs[i], title_at[i], &print_page, title, sizeof title);
        print_rows(dc, font, title, print_page.raw, print_page.shown, print_page.count, cell_height);
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
    HFONT font = create_song_font(PRINT_SCALE * cell_height, PRINT_SCALE * cell_width);
    PRINTDLGA request;
    if (!ask_for_printer(&request)) {
        DeleteObject(font);
        return;
    }
    HCURSOR kept_cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    char name[DOCUMENT_NAME_SIZE];
    document_name(name, sizeof name);
    HDC dc = request.hDC;
    if (dc && start_document(dc, name)) {
        print_service(dc, font, songs, count, PRINT_SCALE * cell_height);
        EndDoc(dc);
    }
    release_printer(&request);
    DeleteObject(font);
    SetCursor(kept_cursor);
}
