// The song list file "songlist.txt": the running order with each song's key change.
#include "songlist/songlist_file.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "store/record.h"

// Field offsets of the lines as the writer lays them out: "SONG01=title" and
// "KEYCHANGE01=-5".
enum {
    SONG_NUMBER_AT = 4,
    SONG_TITLE_AT = 7,
    KEY_NUMBER_AT = 9,
    KEY_VALUE_AT = 12
};

WriteResult write_song_list_file(const SongListEntry* songs, int count)
{
    SafeWrite out;
    if (safe_write_begin(&out, SONG_LIST_FILE, nullptr) != WRITE_OK)
        return out.result;
    char line[TITLE_SIZE + 32];
    safe_write_text(&out, ";SONG LIST FILE\r\n");
    for (int i = 0; i < count && i < SONG_LIST_SIZE; i++) {
        snprintf(line, sizeof line, "SONG%02d=%s\r\n", i + 1, songs[i].title);
        safe_write_text(&out, line);
        snprintf(line, sizeof line, "KEYCHANGE%02d=%d\r\n", i + 1, (int)songs[i].key_change);
        safe_write_text(&out, line);
    }
    safe_write_text(&out, ";END");
    return safe_write_commit(&out, nullptr);
}

// Reads a decimal integer as sscanf's "%d" does (white space, a sign, digits up
// to the first other character), but clamps a value beyond 32 bits instead of
// overflowing. Returns 1 with the number in *value, or 0 when no digit stands
// there (*value unchanged).
static int parse_number(const char* text, int* value)
{
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        p++;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (*p < '0' || *p > '9')
        return 0;
    long long n = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        if (n <= (long long)INT_MAX + 1)
            n = n * 10 + (*p - '0');
    }
    if (negative)
        n = -n;
    *value = n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : (int)n;
    return 1;
}

static bool in_table(int number)
{
    return number >= 1 && number <= SONG_LIST_SIZE;
}

// "SONGnn=title": entry nn - 1 gets the title in capitals without trailing
// blanks, and the list box a new last row; one blank after the '=' is skipped.
static void read_song_line(SongListEntry* songs, int32_t* song_count, SongListRows* rows, const char* record,
                           int len)
{
    rows->song_lines++;
    int number = 1;
    parse_number(record + SONG_NUMBER_AT, &number);
    if (!in_table(number))
        return;
    const char* title = record + len;
    if (len > SONG_TITLE_AT)
        title = record + SONG_TITLE_AT + (record[SONG_TITLE_AT] == ' ' ? 1 : 0);
    char* entry_title = songs[number - 1].title;
    copy_bounded(entry_title, TITLE_SIZE, title);
    trim_trailing(entry_title);
    upper_case(entry_title);
    // the list box never holds more rows than the table has entries
    if (rows->count < SONG_LIST_SIZE)
        copy_bounded(rows->title[rows->count++], TITLE_SIZE, entry_title);
    if (number > *song_count)
        *song_count = number;
}

// "KEYCHANGEnn=k": entry nn - 1 gets the key change k; a line without a number
// or without a value changes nothing.
static void read_key_line(SongListEntry* songs, const char* record, int len)
{
    int number = 0;
    if (!parse_number(record + KEY_NUMBER_AT, &number) || !in_table(number))
        return;
    int key = 0;
    if (len >= KEY_VALUE_AT && parse_number(record + KEY_VALUE_AT, &key))
        songs[number - 1].key_change = key;
}

int read_song_list_file(SongListEntry* songs, int32_t* song_count, SongListRows* rows)
{
    SongFile file;
    *song_count = 0;
    rows->count = 0;
    rows->song_lines = 0;
    if (song_file_open(&file, SONG_LIST_FILE) != 0)
        return -1;
    char record[RECORD_MAX + 1];
    while (read_record(&file, record) == 0) {
        int len = (int)strlen(record);
        if (strncmp(record, "SONG", 4) == 0)
            read_song_line(songs, song_count, rows, record, len);
        else if (strncmp(record, "KEYCHANGE", 9) == 0)
            read_key_line(songs, record, len);
    }
    song_file_close(&file);
    return 0;
}
