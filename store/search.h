// Find: the songs of the library that hold every word typed, as entries for the title box.
#pragma once

#include "store/record.h"

enum {
    SEARCH_TEXT_SIZE = 256,             // the typed words: at most 255 characters
    SEARCH_WORDS_MAX = SEARCH_TEXT_SIZE / 2,
    FOUND_LIST_SIZE = 4 * 1024 * 1024   // the entries of one search with their zeros
};

// The working memory of one search (about 22 KB), owned by the caller.
struct SearchWork {
    SongFile file;
    char record[RECORD_MAX + 1];
    char line[RECORD_MAX + 1];          // a line or title as Find compares it
    char title[RECORD_MAX + 1];         // the current song's title as the list shows it
    char section[RECORD_MAX + 1];       // the heading entry the current song stands under
    char pending[RECORD_MAX + 1];       // the last heading entry since the song's title line
    bool have_pending;
    bool section_listed;                // true too while the song stands under no heading
    bool searching;                     // in a listed song with words still missing
    char folded[SEARCH_TEXT_SIZE];      // the typed words as compared, each ended by a zero
    const char* word[SEARCH_WORDS_MAX];
    bool word_found[SEARCH_WORDS_MAX];
    int word_count, missing;
};

// What a search found, for the title box and the status text.
struct FoundSongs {
    int found;                  // songs holding every word; -1 when no word was typed
    int entries;                // heading entries and titles in list
    int used;                   // bytes of list in use
    char status[32];            // "N found", "Song Not Found", or " " when no word was typed
    char list[FOUND_LIST_SIZE]; // the entries in the order of the library, each ended by a zero
};

// Reads the library once from its start and lists in found the songs that hold
// every word of `words` in their title or in the lines the viewer shows (through
// the markup filter, up to the next title line or the end-of-book marker; chord
// rows are not searched). A word is found anywhere in a line, ignoring the case
// of a-z and A-Z and the accents of Windows-1252 letters ("e" finds "é", "é"
// finds "E"); apostrophes (' and the right single quote 0x92) join the letters
// around them ("dont" finds "DON'T"); blanks and other punctuation separate
// words. Titles are listed as the full title list lists them (hidden ones only
// while state.show_hidden is set), and each heading entry under which a found
// song stands is listed once, before the first of them. A list of more than
// FOUND_LIST_SIZE bytes keeps its first entries; found still counts every song.
// Text with no word in it finds nothing and returns -1: the caller shows every
// title again. Returns found->found.
int find_songs_by_words(SearchWork* work, FoundSongs* found, const char* file_name, const char* words);
