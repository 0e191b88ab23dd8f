// Printing the song as the viewer shows it: title and lines, five times the viewer's cell.
#include <windows.h>

#include "layout/page_layout.h"
#include "shell/shared_state.h"
#include "viewer/print_pages.h"
#include "viewer/viewer.h"

// A song that fits is one page; a longer one goes on over further pages with
// the same layout, a chord row never parted from the words beneath it.
void print_song()
{
    HFONT font = create_song_font(PRINT_SCALE * state.font_height, PRINT_SCALE * state.font_width);
    PRINTDLGA request;
    if (!ask_for_printer(&request)) {
        DeleteObject(font);
        return;
    }
    HCURSOR kept_cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    HDC dc = request.hDC;
    // without a document there is nothing to put pages into
    if (dc && start_document(dc, state.current_title)) {   // the spooler lists the job by it
        print_rows(dc, font, state.current_title, state.raw_lines, state.display_lines, state.line_count,
                   PRINT_SCALE * state.font_height);
        EndDoc(dc);
    }
    release_printer(&request);
    DeleteObject(font);
    SetCursor(kept_cursor);
}
