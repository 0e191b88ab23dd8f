// The library's text format in one place: its marks, the kinds of record, and the chord-row rule.
#include "store/book_format.h"

#include <cstring>

bool is_end_of_book(const char* record)
{
    // most lines hold no '*': one byte scan settles them before any full search
    return strchr(record, '*') && strstr(record, END_MARK);
}

bool is_title_line(const char* record)
{
    const char* colon = strchr(record, ':');
    return colon && strstr(colon, TITLE_MARK);
}

char* heading_entry(char* record)
{
    char* p = strstr(record, HEADING_MARK);
    if (!p)
        return nullptr;
    while (*p == '*')
        p++;
    char* end = strchr(p, '*');
    if (end)
        *end = 0;
    return p;
}

bool is_chord_row(const char* row, int len)
{
    if (len > ROW_COLUMNS)
        len = ROW_COLUMNS;
    for (int i = 0; i < len && row[i]; i++)
        if (row[i] == CHORD_MARK)
            return true;
    return false;
}
