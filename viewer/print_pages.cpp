// Printing helpers shared by the viewer's print and the song list's print.
#include "viewer/print_pages.h"

#include "layout/page_layout.h"
#include "shell/win_util.h"

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

static void text_out(HDC dc, int y, const char* text)
{
    TextOutA(dc, PRINT_X, y, text, lstrlenA(text));
}

// Every page has the same layout: the title at the top, the rows from y 800 on.
// Returns the font the printer font replaced.
static HGDIOBJ start_page(HDC dc, HFONT font, const char* title)
{
    StartPage(dc);
    SetMapperFlags(dc, 0);
    SetMapMode(dc, MM_TEXT);
    HGDIOBJ replaced = SelectObject(dc, font);
    text_out(dc, PRINT_TITLE_Y, title);
    return replaced;
}

static PageLayout page_layout;

void print_rows(HDC dc, HFONT font, const char* title, const char (*raw)[LINE_WIDTH],
                const char (*shown)[LINE_WIDTH], int rows, int cell_height)
{
    RowKind kinds[LINE_ROWS];
    if (rows > LINE_ROWS)
        rows = LINE_ROWS;
    row_kinds(raw, rows, kinds);
    lay_out_pages(kinds, rows, GetDeviceCaps(dc, VERTRES), cell_height, &page_layout);
    HGDIOBJ kept = start_page(dc, font, title);
    int page = 0;
    for (int i = 0; i < rows; i++) {
        if (page_layout.page[i] != page) {
            EndPage(dc);
            start_page(dc, font, title);
            page = page_layout.page[i];
        }
        text_out(dc, page_layout.y[i], shown[i]);
    }
    SelectObject(dc, kept);
    EndPage(dc);
}
