// The small interface through which the portable core reaches the user interface.
// The program implements it with Win32 calls on the dialogs whose handles the
// shared state holds; the native tests implement it with a recording fake.
#pragma once

#include "shell/shared_state.h"
#include "store/index.h"

// Status text of the song list dialog (static 4025 of state.list_dialog).
void ui_set_status(const char* text);

// Empties the title box of the given song list dialog and fills it with the
// titles (and heading entries) of the library (read_title_list).
// Returns the list read, which also tells of repeated titles.
const TitleList* fill_title_list(UiWindow dialog, const char* file_name);

// Title box (combo box 40007) of the given song list dialog: each home dialog
// works on its own controls, however many are open.
// A fill is reset, any number of adds, then done; redrawing is off in between.
void ui_title_list_reset(UiWindow dialog);
void ui_title_list_add(UiWindow dialog, const char* title);
void ui_title_list_done(UiWindow dialog);

// Song list box (list box 4004) of the given song list dialog, the running order.
int ui_song_list_count(UiWindow dialog);
// Copies the text of a row into buf (at most size - 1 characters, always
// terminated). Returns 0, or -1 with buf empty when the row cannot be read (no
// such row, or a window that does not answer): never a success with garbage.
int ui_song_list_get(UiWindow dialog, int row, char* buf, int size);
void ui_song_list_reset(UiWindow dialog);
void ui_song_list_add(UiWindow dialog, const char* title);
