// The library's text format in one place: its marks, the kinds of record, and the chord-row rule.
#include "store/book_format.h"

#include <cstdio>
#include <cstring>

#include "store/record.h"

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

int format_title_line(char* out, int size, const char* title)
{
    int len = snprintf(out, (size_t)size, "::::: %.*s ::::: KEY=xx\r\r\n", TITLE_MAX, title);
    return len < size ? len : size - 1;
}

void read_title(const char* record, char* title)
{
    const char* p = strstr(record, TITLE_MARK);
    int n = 0;
    if (p) {
        while (*p == ':')
            p++;
        while (*p == ' ')
            p++;
        // the title's first byte is taken even when it is a colon, as the lookup always did
        for (; p[n] && n < TITLE_MAX && (n == 0 || p[n] != ':'); n++)
            title[n] = p[n];
    }
    title[n] = 0;
    trim_trailing(title);
}

void make_title_key(char* title)
{
    trim_trailing(title);
    upper_case(title);
}

bool title_line_matches(const char* record, const char* key)
{
    char title[TITLE_KEY_SIZE];
    read_title(record, title);
    make_title_key(title);
    return strcmp(title, key) == 0;
}

int next_book_record(SongFile* file, char* record)
{
    if (read_record(file, record) != 0)
        return -1;
    return is_end_of_book(record) ? 0 : 1;
}

int next_song_line(SongFile* file, char* record)
{
    int got = next_book_record(file, record);
    return got > 0 && is_title_line(record) ? 0 : got;
}
