// Printing helpers shared by the viewer's print and the song list's print.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "layout/page_layout.h"
#include "shell/shared_state.h"

// Fills the request (owner the main window, a device context returned, no page
// numbers, no selection, no print to file) and shows the common print dialog.
// Returns false after Cancel or a failed dialog, with its handles already freed.
bool ask_for_printer(PRINTDLGA* request);
// Deletes the printer's device context and frees the dialog's handles.
void release_printer(PRINTDLGA* request);

// StartDoc under the name the spooler lists the job by; false when it failed.
bool start_document(HDC dc, const char* name);

// A song to print: its header's title and key change ("" for none), its rows
// (shown, with raw telling chord rows and labels) and the letters it asks for.
struct PrintedSong {
    const char* title;
    const char* key;
    const char (*raw)[LINE_WIDTH];
    const char (*shown)[LINE_WIDTH];
    int rows;
    Letters wanted;
    bool viewer_page;   // the viewer's own page wherever every row fits it
};

// The working memory of printing one song, owned by the caller.
struct PrintWork {
    SongRows rows;
    SongPrint print;
};

// Prints the song from a new page: on the viewer's page (title at (400, 200),
// rows from y 800) when asked and every row fits it, otherwise on songbook
// pages, its letters fitted to the paper; continuation pages are numbered.
void print_song_pages(HDC dc, const PrintedSong* song, PrintWork* work);
