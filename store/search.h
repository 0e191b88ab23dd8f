// Find: the songs of the library that hold every word typed, listed in the title box.
#pragma once

#include "shell/shared_state.h"

enum {
    SEARCH_TEXT_SIZE = 256      // the typed words: at most 255 characters
};

// Reads the library once from its start and lists in the title box of the
// given dialog the songs that hold every word of `words` in their title or in
// the lines the viewer shows (through the markup filter, up to the next title
// line or the end-of-book marker; marked chord rows are not searched). A word
// is found anywhere in a line, ignoring the case of a-z and A-Z and the accents
// of Windows-1252 letters ("e" finds "é", "é" finds "E"); blanks and
// punctuation separate words. Titles are added as the full list adds them
// (hidden ones only while state.show_hidden is set), and each heading entry
// under which a found song stands is added once. The status text says
// "N found", or "Song Not Found" when none is.
// Text with no word in it lists every title again (fill_title_list) and sets
// the status text to " ". Returns the number of songs found (-1: every title).
int find_songs_by_words(UiWindow dialog, const char* file_name, const char* words);
