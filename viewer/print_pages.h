// Printing helpers shared by the viewer's print and the song list's print.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "shell/shared_state.h"

// Fills the request (owner the main window, a device context returned, no page
// numbers, no selection, no print to file) and shows the common print dialog.
// Returns false after Cancel or a failed dialog, with its handles already freed.
bool ask_for_printer(PRINTDLGA* request);
// Deletes the printer's device context and frees the dialog's handles.
void release_printer(PRINTDLGA* request);

// StartDoc under the name the spooler lists the job by; false when it failed.
bool start_document(HDC dc, const char* name);

// Prints a song's rows (shown, with raw telling chord rows from lyric rows) in
// the printer font: each page the title at (400, 200) and its rows from y 800,
// as many pages as lay_out_pages gives for the page's height.
void print_rows(HDC dc, HFONT font, const char* title, const char (*raw)[LINE_WIDTH],
                const char (*shown)[LINE_WIDTH], int rows, int cell_height);
