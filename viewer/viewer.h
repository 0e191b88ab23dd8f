// The song viewer and its printing.
#pragma once

#include <windows.h>

#include "shell/shared_state.h"

INT_PTR CALLBACK viewer_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Prints the song as last painted: title and display_lines in the viewer's font
// enlarged five times, on a printer chosen in the common print dialog.
void print_song();

// The viewer's font for a character cell (CreateFont height and width).
HFONT create_song_font(int height, int width);

// The viewer's character cell at the current magnification (magnify_level).
void magnified_cell(int* height, int* width);

// The entry the viewer stands on while running the list (entry 0 of an empty list).
SongListEntry* current_entry();

// The stage view of the viewer's song, full screen on the viewer's monitor; returns
// when it closes, the viewer then on the song and key it showed last.
void open_stage(HWND viewer);
