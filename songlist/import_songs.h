// "Import...": ChordPro files and chord sheets chosen in the open dialog, brought into the library.
#pragma once

#include <windows.h>

// Lets the user choose files, imports them, refills the title box of the home
// dialog and shows the summary box.
void import_songs(HWND dialog);
