// The dialog-launch protocol: dialogs ask the main window to open the next dialog.
#pragma once

// Copy the title into current_title (at most 79 characters) and post the main
// window's command that opens the viewer (206) or the editor (208).
void request_viewer(const char* title);
void request_editor(const char* title);

void open_song_list_dialog();
void open_viewer_dialog();
void open_editor_dialog();
