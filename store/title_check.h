// Whether a library holds two songs of one title, of which only the first can be opened.
#pragma once

#include <cstdint>

#include "store/book_format.h"
#include "store/record.h"

enum { TITLE_CHECK_SLOTS = 1 << 16 };

// The working memory of one check: the library and a set of the titles seen.
struct TitleCheck {
    SongFile file;
    char record[RECORD_MAX + 1];
    uint64_t seen[TITLE_CHECK_SLOTS];    // hashes of the title keys, 0: empty
};

// Reads the library up to the end-of-book marker. Returns how many title lines
// repeat a title met before (compared as the lookup compares), with the first
// such title in title (TITLE_KEY_SIZE bytes); 0 when every title is one song's.
int count_repeated_titles(const char* file_name, TitleCheck* work, char* title);
