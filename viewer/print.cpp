// Printing the song as the viewer shows it: title and lines, five times the viewer's cell.
#include <windows.h>
#include <commdlg.h>

#include "shell/shared_state.h"
#include "shell/win_util.h"
#include "viewer/viewer.h"

enum { PRINT_SCALE = 5, PRINT_X = 400, TITLE_Y = 200, LINES_Y = 800 };

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

static void text_out(HDC dc, int y, const char* text)
{
    TextOutA(dc, PRINT_X, y, text, lstrlenA(text));
}

// Every page has the same layout: the title at the top, the lines from y 800 on.
// Returns the font the printer font replaced.
static HGDIOBJ start_page(HDC dc, HFONT font)
{
    StartPage(dc);
    SetMapperFlags(dc, 0);
    SetMapMode(dc, MM_TEXT);
    HGDIOBJ replaced = SelectObject(dc, font);
    text_out(dc, TITLE_Y, state.current_title);
    return replaced;
}

// A song that fits is one page; a longer one goes on with a fresh page (title
// again, lines from y 800) rather than losing its end below the printable area.
// A page always takes at least one line, so a huge cell cannot loop.
static void print_pages(HDC dc, HFONT font)
{
    int line_height = PRINT_SCALE * state.font_height;
    int page_bottom = GetDeviceCaps(dc, VERTRES);
    HGDIOBJ kept = start_page(dc, font);
    int on_page = 0;
    for (int i = 0; i < state.line_count && i < LINE_ROWS; i++) {
        int y = LINES_Y + on_page * line_height;
        if (on_page > 0 && y + line_height > page_bottom) {
            EndPage(dc);
            start_page(dc, font);
            on_page = 0;
            y = LINES_Y;
        }
        text_out(dc, y, state.display_lines[i]);
        on_page++;
    }
    SelectObject(dc, kept);
    EndPage(dc);
}

void print_song()
{
    HFONT font = create_song_font(PRINT_SCALE * state.font_height, PRINT_SCALE * state.font_width);
    PRINTDLGA request;
    ZeroMemory(&request, sizeof request);
    request.lStructSize = sizeof request;
    request.hwndOwner = as_hwnd(state.main_window);
    request.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE;
    // a cancel and a failed dialog look alike to the user: nothing printed, nothing said
    if (!PrintDlgA(&request)) {
        free_dialog_handles(&request);
        DeleteObject(font);
        return;
    }
    HCURSOR kept_cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    HDC dc = request.hDC;
    if (dc) {
        DOCINFOA document;
        ZeroMemory(&document, sizeof document);
        document.cbSize = sizeof document;
        document.lpszDocName = state.current_title;   // the spooler lists the job by it
        // without a document there is nothing to put pages into
        if (StartDocA(dc, &document) > 0) {
            print_pages(dc, font);
            EndDoc(dc);
        }
        DeleteDC(dc);
    }
    free_dialog_handles(&request);
    DeleteObject(font);
    SetCursor(kept_cursor);
}
