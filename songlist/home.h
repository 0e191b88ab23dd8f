// What other windows ask of the home screen and of the open editors.
#pragma once

#include <windows.h>

// Fills the title box of a home screen, and says in its status when the library
// holds two songs of one title.
void fill_titles(HWND dialog);

// Asks every open editor whose boxes changed since it loaded or last saved
// whether to save them first ("Save changes to TITLE?"): false when one was
// cancelled or its save failed, so that the program keeps running.
bool editors_agree_to_exit();
