// Printing helpers shared by the viewer's print and the song list's print.
#include "viewer/print_pages.h"

#include "shell/win_util.h"
#include "viewer/viewer.h"

// The sizes the print dialog and the spooler expect from a 32-bit ANSI program.
static_assert(sizeof(void*) != 4 || sizeof(PRINTDLGA) == 66, "PRINTDLGA is 66 bytes on 32-bit Windows");
static_assert(sizeof(void*) != 4 || sizeof(DOCINFOA) == 20, "DOCINFOA is 20 bytes on 32-bit Windows");

static void free_dialog_handles(PRINTDLGA* request)
{
    if (request->hDevMode)
        GlobalFree(request->hDevMode);
    if (request->hDevNames)
        GlobalFree(request->hDevNames);
    request->hDevMode = nullptr;
    request->hDevNames = nullptr;
}

bool ask_for_printer(PRINTDLGA* request)
{
    ZeroMemory(request, sizeof *request);
    request->lStructSize = sizeof *request;
    request->hwndOwner = as_hwnd(state.main_window);
    request->Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE;
    // a cancel and a failed dialog look alike to the user: nothing printed, nothing said
    if (!PrintDlgA(request)) {
        free_dialog_handles(request);
        return false;
    }
    return true;
}

void release_printer(PRINTDLGA* request)
{
    if (request->hDC)
        DeleteDC(request->hDC);
    request->hDC = nullptr;
    free_dialog_handles(request);
}

bool start_document(HDC dc, const char* name)
{
    DOCINFOA document;
    ZeroMemory(&document, sizeof document);
    document.cbSize = sizeof document;
    document.lpszDocName = name;
    return StartDocA(dc, &document) > 0;
}

static void text_out(HDC dc, int x, int y, const char* text)
{
    TextOutA(dc, x, y, text, lstrlenA(text));
}

static void read_printer_page(HDC dc, PrinterPage* page)
{
    page->paper_width = GetDeviceCaps(dc, PHYSICALWIDTH);
    page->paper_height = GetDeviceCaps(dc, PHYSICALHEIGHT);
    page->offset_x = GetDeviceCaps(dc, PHYSICALOFFSETX);
    page->offset_y = GetDeviceCaps(dc, PHYSICALOFFSETY);
    page->printable_width = GetDeviceCaps(dc, HORZRES);
    page->printable_height = GetDeviceCaps(dc, VERTRES);
    page->dpi_x = GetDeviceCaps(dc, LOGPIXELSX);
    page->dpi_y = GetDeviceCaps(dc, LOGPIXELSY);
}

// The printer's own measure: drivers put another face in for the one asked
// for, and only the printer's font tells how wide its letters come out.
static int measure_on_printer(void* printer, const Letters* letters, const char* text, int length)
{
    HDC dc = (HDC)printer;
    HFONT font = create_song_font(letters->height, letters->width);
    HGDIOBJ kept = SelectObject(dc, font);
    SIZE size = {0, 0};
    if (!GetTextExtentPoint32A(dc, text, length, &size))
        size.cx = 0;
    SelectObject(dc, kept);
    DeleteObject(font);
    return size.cx;
}

// Every page: its header, then its rows. Returns the font the header's replaced.
static HGDIOBJ start_page(HDC dc, HFONT header_font, const PagePlan* plan, const char* header)
{
    StartPage(dc);
    SetMapperFlags(dc, 0);
    SetMapMode(dc, MM_TEXT);
    HGDIOBJ replaced = SelectObject(dc, header_font);
    text_out(dc, plan->title_x, plan->title_y, header);
    return replaced;
}

static void plan_pages(HDC dc, const PrintedSong* song, PrintWork* work)
{
    PrinterPage page;
    read_printer_page(dc, &page);
    song_rows(song->raw, song->shown, song->rows, &work->rows);
    if (song->viewer_page && plan_viewer_page(&work->rows, song->shown, song->title, &page, song->wanted,
                                              measure_on_printer, dc, &work->print))
        return;
    PageFrame frame;
    page_frame(&page, &frame);
    plan_song(&work->rows, song->shown, song->title, song->key, &frame, song->wanted, measure_on_printer, dc,
              &work->print);
}

void print_song_pages(HDC dc, const PrintedSong* song, PrintWork* work)
{
    plan_pages(dc, song, work);
    const SongPrint* print = &work->print;
    const Letters* letters = &print->letters;
    const Letters* header_letters = &print->header_letters;
    HFONT font = create_song_font(letters->height, letters->width);
    bool own_header_font = header_letters->height != letters->height || header_letters->width != letters->width;
    HFONT header_font = own_header_font ? create_song_font(header_letters->height, header_letters->width) : font;
    int pages = print->layout.pages;
    char header[HEADER_SIZE];
    HGDIOBJ kept = nullptr;
    for (int page = 0, row = 0; page < pages; page++) {
        page_header(song->title, song->key, page + 1, pages, header, sizeof header);
        HGDIOBJ replaced = start_page(dc, header_font, &print->plan, header);
        kept = page == 0 ? replaced : kept;
        SelectObject(dc, font);
        for (; row < work->rows.count && print->layout.page[row] <= page; row++)
            if (print->layout.page[row] == page)
                text_out(dc, print->layout.x[row], print->layout.y[row], song->shown[row]);
        EndPage(dc);
    }
    SelectObject(dc, kept);
    if (own_header_font)
        DeleteObject(header_font);
    DeleteObject(font);
}
