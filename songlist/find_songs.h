// "Find" of the home dialog: the songs holding the words typed in its title box.
#pragma once

#include <windows.h>

// Lists in the dialog's title box the songs that hold every word of its edit
// field; with no word there, every title again. The words stay in the field.
void find_songs(HWND dialog);
