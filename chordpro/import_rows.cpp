// The songs of one file as the library holds them: titles, body rows, and where each song ends.
#include "chordpro/import_work.h"

#include <cstdio>
#include <cstring>

#include "store/book_format.h"
#include "store/record.h"
#include "transpose/chord_row.h"

static NewSong* open_song(ImportWork* cv)
{
    return &cv->batch->songs[cv->batch->song_count];
}

void begin_song(ImportWork* cv)
{
    cv->open = true;
    cv->titled = false;
    cv->lines = 0;
    cv->held_blanks = 0;
    cv->sung = false;
    if (cv->batch->song_count >= ADD_SONGS_MAX) {
        cv->full = true;
        return;
    }
    NewSong* song = open_song(cv);
    song->title[0] = 0;
    song->body = nullptr;
    song->body_len = 0;
    song->taken = TITLE_FREE;
    cv->batch->source[cv->batch->song_count] = cv->source;
    cv->batch->altered[cv->batch->song_count] = 0;
    cv->batch->chord_marks[cv->batch->song_count] = 0;
    cv->body_start = cv->batch->used;
}

// A title as the editor's save writes one: capitals, no trailing blanks, at
// most 49 characters; a ':' (which would end the title for every reader) becomes
// a dash ("Psalm 23: The Lord" gives "PSALM 23 - THE LORD"), and the marks
// "#*#*#" and "*****" are broken.
static void make_title(const char* raw, int len, char* title)
{
    int i = 0;
    while (i < len && (raw[i] == ' ' || raw[i] == ':'))
        i++;
    int n = 0;
    for (; i < len && n < IMPORT_TITLE_MAX; i++) {
        if (raw[i] != ':') {
            title[n++] = raw[i];
            continue;
        }
        if (n > 0 && title[n - 1] != ' ' && i + 1 < len && raw[i + 1] == ' ' && n < IMPORT_TITLE_MAX - 1)
            title[n++] = ' ';
        title[n++] = '-';
    }
    title[n] = 0;
    defuse(title, "#*#*#", "#+#+#");
    defuse(title, "*****", "**+**");
    upper_case(title);
    title[trimmed_length(title, n)] = 0;
}

// The file's name without folder and extension, and the song's number in the
// file from the second song on.
static void title_from_file_name(ImportWork* cv, char* title)
{
    const char* name = cv->file_name;
    for (const char* p = cv->file_name; *p; p++) {
        if (*p == '/' || *p == '\\')
            name = p + 1;
    }
    int len = (int)strlen(name);
    const char* dot = strrchr(name, '.');
    if (dot && dot > name)
        len = (int)(dot - name);
    char number[16] = "";
    if (cv->songs_done > 0)
        snprintf(number, sizeof number, " %d", cv->songs_done + 1);
    int room = IMPORT_TITLE_MAX - (int)strlen(number);
    make_title(name, len < room ? len : room, title);
    if (title[0] == 0)
        copy_bounded(title, TITLE_SIZE, "NONAME");
    int used = (int)strlen(title);
    copy_bounded(title + used, TITLE_SIZE - used, number);
}

void set_title(ImportWork* cv, const char* raw, int len)
{
    if (!cv->open)
        begin_song(cv);
    if (cv->full)
        return;
    make_title(raw, len, open_song(cv)->title);
    cv->titled = open_song(cv)->title[0] != 0;
}

static bool append_to_pool(ImportWork* cv, const char* text, int len)
{
    ImportBatch* b = cv->batch;
    if (b->used + len + 1 > IMPORT_POOL_SIZE) {
        cv->full = true;
        return false;
    }
    memcpy(b->pool + b->used, text, (size_t)len);
    b->used += len;
    b->pool[b->used++] = '\n';
    return true;
}

// Replaces every '<' of a row that is no marked chord row with '\x8B' ('‹' in
// Windows-1252): a '<' in words ("<30 of 47>", a tab line) would make the row
// a chord row, and the transposer would garble it. Returns whether one was replaced.
static bool disarm_chord_marks(char* line, int n, bool marked)
{
    if (marked || (is_chord_row(line, n) && looks_like_chord_row(line, n)))
        return false;
    bool found = false;
    for (int i = 0; i < n; i++) {
        if (line[i] == CHORD_MARK) {
            line[i] = '\x8B';
            found = true;
        }
    }
    return found;
}

// Writes one body line (at most 99 characters) of the open song. Blank lines
// at the start of a song are dropped and blank lines at its end never written.
// What the library would read otherwise is changed here: ":::::", "#*#*#" and
// "*****" (they would start a song, end the library or add a heading), a '<'
// in a row that is not a chord row, a leading ';' (a comment line, never shown)
// and '&' (the viewer removes it). marked says the row is a chord row made here.
void put_row(ImportWork* cv, const char* row, int len, bool marked)
{
    if (!cv->open)
        begin_song(cv);
    if (cv->full)
        return;
    len = trimmed_length(row, len);
    if (len == 0) {
        if (cv->lines > 0)
            cv->held_blanks++;
        return;
    }
    for (; cv->held_blanks > 0; cv->held_blanks--) {
        if (!append_to_pool(cv, "", 0))
            return;
        cv->lines++;
    }
    char line[IMPORT_ROW_MAX + 2];
    int n = 0;
    for (int i = 0; i < len && n < IMPORT_ROW_MAX; i++)
        line[n++] = row[i] == '&' ? '+' : row[i];
    line[n] = 0;
    if (defuse(line, TITLE_MARK, ";;;;;") + defuse(line, END_MARK, "#+#+#") + defuse(line, HEADING_MARK, "**+**") > 0)
        cv->batch->altered[cv->batch->song_count]++;
    if (disarm_chord_marks(line, n, marked))
        cv->batch->chord_marks[cv->batch->song_count]++;
    // checked last: the colons of a line may just have become ';'
    if (line[0] == ';' && n < IMPORT_ROW_MAX) {
        memmove(line + 1, line, (size_t)n + 1);
        line[0] = ' ';
        n++;
    } else if (line[0] == ';') {
        line[0] = ' ';
    }
    if (append_to_pool(cv, line, n)) {
        cv->lines++;
        cv->sung = cv->sung || !cv->describing;
    }
}

void finish_song(ImportWork* cv)
{
    if (!cv->open)
        return;
    cv->open = false;
    if (cv->full)
        return;
    if (!cv->sung) {
        // a song without lines, or with a key and an artist only, is no song: nothing of it stays
        cv->batch->used = cv->body_start;
        return;
    }
    NewSong* song = open_song(cv);
    if (!cv->titled)
        title_from_file_name(cv, song->title);
    song->body = cv->batch->pool + cv->body_start;
    song->body_len = cv->batch->used - cv->body_start;
    cv->batch->song_count++;
    cv->songs_done++;
}
