// Printing the song as the viewer shows it: title and lines, five times the viewer's cell.
#include <windows.h>

#include "layout/page_layout.h"
#include "shell/shared_state.h"
#include "viewer/print_pages.h"
#include "viewer/viewer.h"

// The viewer's own page wherever every row fits it; a row that would run off
// the paper brings the letters down to fit instead. A longer song goes on over
// numbered pages, a chord row never parted from the words beneath it.
void print_song()
{
    PRINTDLGA request;
    if (!ask_for_printer(&request))
        return;
    HCURSOR kept_cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    HDC dc = request.hDC;
    // without a document there is nothing to put pages into
    if (dc && start_document(dc, state.current_title)) {   // the spooler lists the job by it
        PrintedSong song = {state.current_title, "", state.raw_lines, state.display_lines, state.line_count,
                            {PRINT_SCALE * state.font_height, PRINT_SCALE * state.font_width, false}, true};
        PrintWork work;
        print_song_pages(dc, &song, &work);
        EndDoc(dc);
    }
    release_printer(&request);
    SetCursor(kept_cursor);
}
