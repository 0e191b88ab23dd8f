// The editor's help with chord rows: "Mark Chords" and the hint line under the text box.
#pragma once

#include <windows.h>

// Adds the '<' mark right after the last chord of every row of the text box that
// looks like a chord row and has none; the caret and the scroll position stay.
void mark_chord_rows(HWND editor);

// Shows in the hint line which rows look like chords without a mark and which
// marked rows hold words; else the note (what the loading left out), or nothing.
void show_chord_hint(HWND editor, const char* note);
