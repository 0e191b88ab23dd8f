// The editor's boxes as data: their lines, the checks a save makes of them, and the song they write.
#include "store/editor_text.h"

#include <cstdio>
#include <cstring>

#include "store/book_format.h"
#include "shell/shared_state.h"
#include "store/record.h"

enum {
    CTRL_Z = 0x1A,
    EDITOR_LINE_MAX = EDIT_BUF_SIZE - 1   // the longest line a save carries
};

// FNV-1a: cheap, and a change anywhere changes it.
uint64_t hash_bytes(uint64_t hash, const void* bytes, size_t n)
{
    const unsigned char* p = (const unsigned char*)bytes;
    for (size_t i = 0; i < n; i++)
        hash = (hash ^ p[i]) * 1099511628211ULL;
    return hash;
}

uint64_t editor_text_hash(const EditorText* boxes)
{
    uint64_t hash = hash_bytes(HASH_START, boxes->title, strlen(boxes->title) + 1);
    return hash_bytes(hash, boxes->text, (size_t)boxes->len);
}

static bool refuse(char* message, int size, const char* text)
{
    copy_bounded(message, size, text);
    return false;
}

static bool refuse_line(char* message, int size, int line, const char* what)
{
    snprintf(message, (size_t)size,
             "The song was not saved.\r"
             "Line %d of the song %s.\r"
             "Change that line and save again; the library was left unchanged.",
             line + 1, what);
    return false;
}

// The next line of the text box's text at *at: its length, *at moved behind its
// line end. Lines end at CR LF, as the text box separates them.
static int next_line(const EditorText* boxes, int* at, const char** line)
{
    const char* start = boxes->text + *at;
    const char* end = boxes->text + boxes->len;
    const char* stop = start;
    while (stop < end && !(stop[0] == '\r' && stop + 1 < end && stop[1] == '\n'))
        stop++;
    *at = stop < end ? (int)(stop - boxes->text) + 2 : boxes->len + 1;
    *line = start;
    return (int)(stop - start);
}

enum { NO_MARK, TITLE_MARK_SEEN, END_MARK_SEEN };

// The mark a line would show the readers: they drop its CRs (and the
// save its bytes 0x1A) and end a record at each LF. A record the readers skip
// whole (it starts with ';' and, with the blank a save adds, is shorter than a
// record) may hold anything.
static int mark_for_readers(const char* line, int len)
{
    char record[EDITOR_LINE_MAX + 2];
    int n = 0;
    for (int i = 0; i <= len; i++) {
        if (i < len && line[i] != '\n') {
            if (line[i] != '\r' && line[i] != CTRL_Z)
                record[n++] = line[i];
            continue;
        }
        record[n] = 0;
        bool comment = n > 0 && record[0] == COMMENT_MARK && n + 1 < RECORD_MAX;
        if (!comment && strstr(record, TITLE_MARK))
            return TITLE_MARK_SEEN;
        if (!comment && strstr(record, END_MARK))
            return END_MARK_SEEN;
        n = 0;
    }
    return NO_MARK;
}

// Refuses a song whose title or lines would change the library's structure: a
// title holding "#*#*#" would end the book there, one holding ':' would be listed
// and found only up to the colon; a line holding ":::::" would split the song in
// two and one holding "#*#*#" would hide every song behind it. A line longer than
// the save can carry is refused too, never cut short.
bool check_editor_text(const EditorText* boxes, const char* title, char* message, int size)
{
    if (strstr(title, END_MARK))
        return refuse(message, size, "The song was not saved.\r"
                               "The title holds \"#*#*#\", which marks the end of the song book:\r"
                               "every song behind it would disappear from the list.\r"
                               "Change the title and save again.");
    if (strchr(title, ':'))
        return refuse(message, size, "The song was not saved.\r"
                               "The title holds a colon \":\". The library ends a title at its\r"
                               "first colon, so the song would be listed and found by the part\r"
                               "before it only. Use a dash instead and save again.");
    const char* line;
    for (int at = 0, i = 0; at <= boxes->len; i++) {
        int len = next_line(boxes, &at, &line);
        if (len > EDITOR_LINE_MAX)
            return refuse_line(message, size, i, "is longer than 19,999 characters");
        int mark = mark_for_readers(line, len);
        if (mark == TITLE_MARK_SEEN)
            return refuse_line(message, size, i, "holds \":::::\", which starts a new song in the library");
        if (mark == END_MARK_SEEN)
            return refuse_line(message, size, i, "holds \"#*#*#\", which ends the song book:\r"
                                           "every song behind it would disappear from the list");
    }
    return true;
}

static void put_bytes(SongOut* out, const char* bytes, size_t n)
{
    out->hash = hash_bytes(out->hash, bytes, n);
    out->len += (long)n;
    safe_write_bytes(out->file, bytes, n);
}

// A line of the text box without its bytes 0x1A: one would end the library for
// every reader, hiding all songs behind it.
static void put_text_line(SongOut* out, const char* line, int len)
{
    int run = 0;
    for (int i = 0; i <= len; i++) {
        if (i < len && line[i] != CTRL_Z)
            continue;
        put_bytes(out, line + run, (size_t)(i - run));
        run = i + 1;
    }
    put_bytes(out, " \r\n", 3);
}

// The title line, then the body: a single blank line, then every line of the
// text box followed by one blank, each ending CR LF.
void write_song(SongOut* out, const char* title, const EditorText* boxes)
{
    char line[TITLE_LINE_SIZE];
    int len = format_title_line(line, sizeof line, title);
    put_bytes(out, line, (size_t)len);
    put_bytes(out, " \r\n", 3);
    const char* text;
    for (int at = 0; at <= boxes->len;) {
        int n = next_line(boxes, &at, &text);
        put_text_line(out, text, n);
    }
}

