// The song list file "songlist.txt": the running order with each song's key change.
#include "songlist/songlist_file.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "shell/ui.h"
#include "store/record.h"

// Field offsets of the lines as the writer lays them out: "SONG01=title" and
// "KEYCHANGE01=-5".
enum {
    SONG_NUMBER_AT = 4,
    SONG_TITLE_AT = 7,
    KEY_NUMBER_AT = 9,
    KEY_VALUE_AT = 12
};

// Writes the whole list; returns 0, or -1 as soon as a write fails.
static int write_entries(UiWindow dialog, FILE* out)
{
    if (fputs(";SONG LIST FILE\r\n", out) < 0)
        return -1;
    for (int i = 0; i < state.song_count; i++) {
        SongListEntry* entry = &state.song_list[i];
        ui_song_list_get(dialog, i, entry->title, TITLE_SIZE);
        if (fprintf(out, "SONG%02d=%s\r\n", i + 1, entry->title) < 0)
            return -1;
        if (fprintf(out, "KEYCHANGE%02d=%d\r\n", i + 1, (int)entry->key_change) < 0)
            return -1;
    }
    return fputs(";END", out) < 0 ? -1 : 0;
}

void write_song_list_file(UiWindow owner)
{
    // the table holds SONG_LIST_SIZE entries; rows past them are not saved
    int rows = ui_song_list_count(owner);
    state.song_count = rows < 0 ? 0 : rows > SONG_LIST_SIZE ? SONG_LIST_SIZE : rows;

    FILE* out = fopen(SONG_LIST_FILE, "wb");
    if (!out) {
        ui_message_box(owner, "Could Not Save Songlist", "SAVE SONGLIST");
        return;
    }
    int written = write_entries(owner, out);
    // a full disk may show only when the buffered bytes go out at the close
    if (fclose(out) != 0 || written != 0)
        ui_message_box(owner, "Could Not Save Songlist", "SAVE SONGLIST");
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
static void read_song_line(UiWindow dialog, const char* record, int len)
{
    ui_beep();
    int number = 1;
    parse_number(record + SONG_NUMBER_AT, &number);
    if (!in_table(number))
        return;
    const char* title = record + len;
    if (len > SONG_TITLE_AT)
        title = record + SONG_TITLE_AT + (record[SONG_TITLE_AT] == ' ' ? 1 : 0);
    char* entry_title = state.song_list[number - 1].title;
    copy_bounded(entry_title, TITLE_SIZE, title);
    trim_trailing(entry_title);
    upper_case(entry_title);
    // the list box never holds more rows than the table has entries
    if (ui_song_list_count(dialog) < SONG_LIST_SIZE)
        ui_song_list_add(dialog, entry_title);
    if (number > state.song_count)
        state.song_count = number;
}

// "KEYCHANGEnn=k": entry nn - 1 gets the key change k; a line without a number
// or without a value changes nothing.
static void read_key_line(const char* record, int len)
{
    int number = 0;
    if (!parse_number(record + KEY_NUMBER_AT, &number) || !in_table(number))
        return;
    int key = 0;
    if (len >= KEY_VALUE_AT && parse_number(record + KEY_VALUE_AT, &key))
        state.song_list[number - 1].key_change = key;
}

void read_song_list_file(UiWindow owner)
{
    SongFile file;
    int opened = song_file_open(&file, SONG_LIST_FILE);
    state.song_count = 0;
    if (opened != 0) {
        ui_message_box(owner, "Could Not Load Songlist", "LOAD SONGLIST");
        return;
    }
    ui_song_list_reset(owner);
    char* record = state.line_buf;
    while (read_record(&file, record) == 0) {
        int len = (int)strlen(record);
        if (strncmp(record, "SONG", 4) == 0)
            read_song_line(owner, record, len);
        else if (strncmp(record, "KEYCHANGE", 9) == 0)
            read_key_line(record, len);
    }
    song_file_close(&file);
}
