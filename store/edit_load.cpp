// The editor's loading: the chosen song's lines as the text for the editor's text box.
#include "store/edit_load.h"

#include <cstdio>
#include <cstring>

#include "shell/shared_state.h"
#include "store/book_format.h"
#include "store/index.h"
#include "store/record.h"


const char too_long_text[] =
    "This song is too long for the editor: only its first part is shown.\r"
    "The editor will not save it, so that the whole song stays in the\r"
    "library as it is. Split it into shorter songs with a text editor.";
const char too_long_caption[] = "SONG TOO LONG";

// What the loading left out, for the note.
enum Dropped {
    DROPPED_TITLE_TEXT = 1,   // text before the colons or behind the title's closing colons
    DROPPED_HEADING = 2,      // a heading on the title line
    DROPPED_MARKUP = 4,       // markup words or '&' in the lines
    DROPPED_LONG_TITLE = 8    // a title longer than the title box takes
};

static const char* skip(const char* p, char c)
{
    while (*p == c || *p == ' ')
        p++;
    return p;
}

// What a save, which writes "::::: TITLE ::::: KEY=xx", would drop of this title line.
static int title_line_extras(const char* record)
{
    int dropped = strstr(record, HEADING_MARK) ? DROPPED_HEADING : 0;
    const char* marks = strstr(record, TITLE_MARK);
    for (const char* p = record; p < marks; p++)
        if (*p != ' ')
            dropped |= DROPPED_TITLE_TEXT;
    const char* title = skip(marks, ':');
    const char* end = *title ? strchr(title + 1, ':') : nullptr;
    if (!end)
        return dropped;
    if (end - title > TITLE_MAX)
        dropped |= DROPPED_LONG_TITLE;
    const char* rest = skip(end, ':');
    if (strncmp(rest, "KEY=", 4) == 0)
        while (*rest && *rest != ' ')
            rest++;
    if (*skip(rest, ' ') && !(dropped & DROPPED_HEADING))
        dropped |= DROPPED_TITLE_TEXT;
    return dropped;
}

static void write_note(EditSession* session, int dropped)
{
    static const char* const parts[] = {"the text beside the title", "the heading on the title line",
                                        "markup words and &", "the title's end (79 characters are kept)"};
    copy_bounded(session->note, SESSION_NOTE_SIZE, dropped ? "A save will drop what the editor does not show: " : "");
    const char* separator = "";
    for (int i = 0; i < 4; i++) {
        if (!(dropped & (1 << i)))
            continue;
        int used = (int)strlen(session->note);
        snprintf(session->note + used, (size_t)(SESSION_NOTE_SIZE - used), "%s%s", separator, parts[i]);
        separator = "; ";
    }
}

// The next raw line of the library, CRs dropped, without its LF: its length, or
// -1 at the end of the file. out takes it when it is at most room characters
// (else *cut); head always takes its first character or a zero.
static int read_raw_line(SongFile* file, char* out, int room, char* head, bool* cut)
{
    int n = 0;
    unsigned char c;
    *head = 0;
    for (;;) {
        if (song_file_read_bytes(file, &c, 1) != 1)
            return n > 0 ? n : -1;
        if (c == '\n')
            break;
        if (c == '\r')
            continue;
        if (n < room)
            out[n] = (char)c;
        if (n == 0)
            *head = (char)c;
        n++;
    }
    *cut = n > room;
    return n;
}

// Appends the song's body lines, up to byte stop of the library (the end the
// save measures, by the readers' rules), to text, each followed by CR LF. Comment
// lines come as they stand, other lines through the markup filter. Returns what
// the filter dropped.
static int read_body(SongFile* file, long stop, EditSession* session, char* text, int size)
{
    int used = 0;
    int dropped = 0;
    bool cut = false;
    char head;
    while (song_file_offset(file) < stop) {
        char* line = text + used;
        int len = read_raw_line(file, line, size - used - 3, &head, &cut);
        if (len < 0)
            break;
        if (cut) {
            session->truncated = 1;
            break;
        }
        line[len] = 0;
        if (head != COMMENT_MARK) {
            strip_markup_text(line);
            dropped |= (int)strlen(line) != len ? DROPPED_MARKUP : 0;
            len = (int)strlen(line);
        }
        used += len;
        text[used++] = '\r';
        text[used++] = '\n';
    }
    if (size > 0)
        text[used] = 0;
    return dropped;
}

int load_song_for_editing(EditSession* session, char* text, int size, RewriteWork* work)
{
    session->holds_song = 0;
    session->truncated = 0;
    session->note[0] = 0;
    copy_bounded(state.current_title, TITLE_SIZE, session->title);

    SongFile* file = &work->library;
    if (song_file_open(file, LIBRARY_FILE) != 0) {
        // no library holds no song: the outcome of a title not found
        make_title_key(state.current_title);
        return -1;
    }
    int found = find_song(file);
    if (found == 0) {
        long pos = file->record_start;
        long body = song_file_offset(file);
        int dropped = song_file_seek(file, pos) == 0 && read_record(file, work->record) == 0
                          ? title_line_extras(work->record)
                          : 0;
        // the editor shows exactly the bytes the saves replace, while they stand in
        // the library as they are now; an editor for a new song only takes the text
        if (measure_song(work, pos, &session->song_len, &session->song_hash) == 0 &&
            song_file_seek(file, body) == 0) {
            dropped |= read_body(file, pos + session->song_len, session, text, size);
            session->holds_song = !session->new_song;
            session->song_pos = pos;
            copy_bounded(session->title, TITLE_SIZE, state.current_title);
        }
        write_note(session, dropped);
    }
    song_file_close(file);
    return found;
}
