// Songbook rewrite: the editor's song written into the library through a temporary copy.
#include "store/rewrite.h"

#include <cstdio>
#include <cstring>

#include "shell/ui.h"
#include "store/file_replace.h"
#include "store/book_format.h"
#include "store/index.h"
#include "store/library_copy.h"
#include "store/record.h"

enum {
    COPY_CHUNK = 65536,
    CTRL_Z = 0x1A
};


// The bytes [start, end) of the library that the editor's song replaces; an empty
// range is the point where a new song goes in.
struct ByteRange {
    long start;
    long end;
};

enum { MAX_CANDIDATES = 16 };

// What the reading of the library learns: where a new song would go, and the
// songs that carry the title of the song the editor holds, which may be that
// song moved by a change elsewhere in the file.
struct LibraryScan {
    long end_mark;              // start of the first end-of-book record; -1: none reached
    long last_line_end;         // just behind the last record that ended at an LF
    int candidates;
    long candidate_pos[MAX_CANDIDATES];
};

static SongFile library;
// Songs are hashed in big chunks through a buffer of the program's own.
static unsigned char copy_buf[COPY_CHUNK];

// FNV-1a over the bytes of a song: cheap, and a change anywhere in the song
// changes it.
static const uint64_t HASH_START = 1469598103934665603ULL;

static uint64_t hash_bytes(uint64_t hash, const void* bytes, size_t n)
{
    const unsigned char* p = (const unsigned char*)bytes;
    for (size_t i = 0; i < n; i++)
        hash = (hash ^ p[i]) * 1099511628211ULL;
    return hash;
}

// The hash of the library's bytes [from, from + len); -1 when the file is
// shorter or cannot be read.
static int hash_region(SongFile* file, long from, long len, uint64_t* hash)
{
    if (song_file_seek(file, from) != 0)
        return -1;
    uint64_t h = HASH_START;
    while (len > 0) {
        int want = len < (long)sizeof copy_buf ? (int)len : (int)sizeof copy_buf;
        int n = song_file_read_bytes(file, copy_buf, want);
        if (n <= 0)
            return -1;
        h = hash_bytes(h, copy_buf, (size_t)n);
        len -= n;
    }
    *hash = h;
    return 0;
}

void edit_session_start(EditSession* session, const char* title, int new_song)
{
    memset(session, 0, sizeof *session);
    copy_bounded(session->title, TITLE_SIZE, title);
    session->new_song = new_song ? 1 : 0;
    session->song_pos = -1;
}

// Compares the title of a title record as the lookup does: all blanks after the
// colon run skipped, trimmed, upper-cased, the whole title (not a bounded copy).
static bool title_matches(const char* record, const char* key)
{
    copy_bounded(state.title_line_buf, LINE_BUF_SIZE, record);
    char* title = extract_title(state.title_line_buf, SKIP_ALL_BLANKS);
    trim_trailing(title);
    upper_case(title);
    return strcmp(title, key) == 0;
}

int measure_song(SongFile* file, long pos, long* len, uint64_t* hash)
{
    if (song_file_seek(file, pos) != 0 || read_record(file, state.line_buf) != 0)
        return -1;
    if (file->record_start != pos || !is_title_line(state.line_buf) || is_end_of_book(state.line_buf))
        return -1;
    long end = song_file_offset(file);
    while (read_record(file, state.line_buf) == 0) {
        if (is_end_of_book(state.line_buf) || is_title_line(state.line_buf))
            break;
        end = song_file_offset(file);
    }
    if (file->error)
        return -1;
    *len = end - pos;
    return hash_region(file, pos, *len, hash);
}

// Reads the library as the lookup does, up to the end-of-book marker, keeping
// the offsets of the title records that carry the held song's title. Returns 0,
// or -1 on a read error.
static int scan_library(SongFile* file, const EditSession* session, LibraryScan* scan)
{
    scan->end_mark = -1;
    scan->last_line_end = 0;
    scan->candidates = 0;
    if (song_file_seek(file, 0) != 0)
        return -1;
    char* record = state.line_buf;
    while (read_record(file, record) == 0) {
        long start = file->record_start;
        if (ended_at_line_feed(file))
            scan->last_line_end = song_file_offset(file);
        if (is_end_of_book(record)) {
            scan->end_mark = start;
            break;
        }
        if (session->holds_song && is_title_line(record) && scan->candidates < MAX_CANDIDATES &&
            title_matches(record, session->title))
            scan->candidate_pos[scan->candidates++] = start;
    }
    return file->error ? -1 : 0;
}

// The held song stands at pos exactly as the editor loaded or last wrote it.
static bool song_unchanged_at(SongFile* file, const EditSession* session, long pos)
{
    uint64_t hash;
    return pos >= 0 && hash_region(file, pos, session->song_len, &hash) == 0 && hash == session->song_hash;
}

// Chooses the bytes the editor's song replaces: the song the session holds, where
// it was or, when the file changed in front of it, wherever its bytes now stand
// whole. Nothing else is ever replaced: a song that is no longer as the editor
// saw it (saved over by another editor, changed or renamed by hand), a new song
// and a song that was not found go in as a new song, in front of the end-of-book
// marker or at the end, so that no text is ever dropped. *went_elsewhere tells
// that the held song was not found.
static RewriteResult plan_replacement(SongFile* file, const EditSession* session, ByteRange* range,
                                      bool* went_elsewhere)
{
    *went_elsewhere = false;
    if (session->holds_song && song_unchanged_at(file, session, session->song_pos)) {
        *range = ByteRange{session->song_pos, session->song_pos + session->song_len};
        return REWRITE_OK;
    }
    LibraryScan scan;
    if (scan_library(file, session, &scan) != 0)
        return REWRITE_NO_LIBRARY;
    for (int i = 0; i < scan.candidates; i++) {
        long pos = scan.candidate_pos[i];
        if (song_unchanged_at(file, session, pos)) {
            *range = ByteRange{pos, pos + session->song_len};
            return REWRITE_OK;
        }
    }
    *went_elsewhere = session->holds_song != 0;
    long point = scan.end_mark;
    if (point < 0)
        point = insertion_point(file, scan.last_line_end);
    if (point < 0)
        return REWRITE_NO_LIBRARY;
    *range = ByteRange{point, point};
    return REWRITE_OK;
}

// Removes the bytes that would break a title line in two (CR, LF) or end the
// library for every reader (0x1A) from a text, in place.
static void drop_line_breakers(char* text)
{
    char* out = text;
    for (char* in = text; *in; in++) {
        if (*in != '\r' && *in != '\n' && *in != CTRL_Z)
            *out++ = *in;
    }
    *out = 0;
}

// The title box in capitals without trailing blanks (the title list shows a
// written title with one, and the box gets it from there: it must not grow at
// every save). An empty box gives "NONAME": an empty title is never found again.
static void take_editor_title(UiWindow editor)
{
    ui_editor_get_title(editor, state.edit_title, TITLE_SIZE);
    drop_line_breakers(state.edit_title);
    upper_case(state.edit_title);
    int len = (int)strlen(state.edit_title);
    while (len > 0 && state.edit_title[len - 1] == ' ')
        state.edit_title[--len] = 0;
    if (len == 0)
        copy_bounded(state.edit_title, TITLE_SIZE, "NONAME");
}

static RewriteResult refuse(EditSession* session, const char* text)
{
    copy_bounded(session->message, SESSION_MESSAGE_SIZE, text);
    return REWRITE_REFUSED;
}

static RewriteResult refuse_line(EditSession* session, int line, const char* what)
{
    snprintf(session->message, SESSION_MESSAGE_SIZE,
             "The song was not saved.\r"
             "Line %d of the song %s.\r"
             "Change that line and save again; the library was left unchanged.",
             line + 1, what);
    return REWRITE_REFUSED;
}

// Refuses a song whose title or lines would change the library's structure: a
// title holding "#*#*#" would end the book there, one holding ':' would be listed
// and found only up to the colon; a line holding ":::::" would split the song in
// two and one holding "#*#*#" would hide every song behind it. A line longer than
// the save can carry is refused too, never cut short. Reads the title into
// state.edit_title.
static RewriteResult check_editor_text(EditSession* session, UiWindow editor)
{
    take_editor_title(editor);
    if (strstr(state.edit_title, END_MARK))
        return refuse(session, "The song was not saved.\r"
                               "The title holds \"#*#*#\", which marks the end of the song book:\r"
                               "every song behind it would disappear from the list.\r"
                               "Change the title and save again.");
    if (strchr(state.edit_title, ':'))
        return refuse(session, "The song was not saved.\r"
                               "The title holds a colon \":\". The library ends a title at its\r"
                               "first colon, so the song would be listed and found by the part\r"
                               "before it only. Use a dash instead and save again.");
    int lines = ui_editor_line_count(editor);
    for (int i = 0; i < lines; i++) {
        if (ui_editor_line_length(editor, i) > EDIT_BUF_SIZE - 1)
            return refuse_line(session, i, "is longer than 19,999 characters");
        ui_editor_get_line(editor, i, state.edit_buf, EDIT_BUF_SIZE);
        if (strstr(state.edit_buf, TITLE_MARK))
            return refuse_line(session, i, "holds \":::::\", which starts a new song in the library");
        if (strstr(state.edit_buf, END_MARK))
            return refuse_line(session, i, "holds \"#*#*#\", which ends the song book:\r"
                                           "every song behind it would disappear from the list");
    }
    return REWRITE_OK;
}

// The output of the editor's song: the bytes go to the file and into the hash
// and length that the session keeps of what it wrote.
struct SongOut {
    FILE* file;
    uint64_t hash;
    long len;
};

static bool put_bytes(SongOut* out, const char* bytes, size_t n)
{
    out->hash = hash_bytes(out->hash, bytes, n);
    out->len += (long)n;
    return fwrite(bytes, 1, n, out->file) == n;
}

static bool put_text(SongOut* out, const char* text)
{
    return put_bytes(out, text, strlen(text));
}

// The title line as it is stored: its line feed written in text mode, CR CR LF.
static bool write_title_line(SongOut* out, const char* title)
{
    return put_text(out, "::::: ") && put_text(out, title) && put_text(out, " ::::: KEY=xx\r\r\n");
}

// Writes a line of the text box without its bytes 0x1A: one of them would end
// the library for every reader, hiding all songs behind it.
static bool write_text_line(SongOut* out, const char* line, int len)
{
    while (len > 0) {
        const char* stop = (const char*)memchr(line, CTRL_Z, (size_t)len);
        int run = stop ? (int)(stop - line) : len;
        if (run > 0 && !put_bytes(out, line, (size_t)run))
            return false;
        if (!stop)
            break;
        line += run + 1;
        len -= run + 1;
    }
    return true;
}

// The body of the editor's song: a single blank line, then every line of the
// text box followed by one blank, each ending CR LF. Returns 0, or -1 when a
// write failed.
static int write_song_body(UiWindow editor, char* line_buf, SongOut* out)
{
    if (!put_text(out, " \r\n"))
        return -1;
    int lines = ui_editor_line_count(editor);
    for (int i = 0; i < lines; i++) {
        int len = ui_editor_get_line(editor, i, line_buf, EDIT_BUF_SIZE);
        if (!write_text_line(out, line_buf, len) || !put_text(out, " \r\n"))
            return -1;
    }
    return 0;
}

// temp.cnr: the library before the range, the editor's song, the library behind
// it, flushed to the disk. *song receives the hash and length of the song written.
static RewriteResult write_new_library(SongFile* in, ByteRange range, UiWindow editor, FILE* file,
                                       SongOut* song)
{
    RewriteResult result = copy_bytes(in, 0, range.start, file);
    if (result != REWRITE_OK)
        return result;
    *song = SongOut{file, HASH_START, 0};
    if (!write_title_line(song, state.edit_title) || write_song_body(editor, state.edit_buf, song) != 0)
        return REWRITE_WRITE_FAILED;
    result = copy_bytes(in, range.end, -1, file);
    if (result != REWRITE_OK)
        return result;
    if (flush_to_disk(file) != 0)
        return REWRITE_WRITE_FAILED;
    return REWRITE_OK;
}

static void append_bounded(char* dst, int size, const char* src)
{
    int used = (int)strlen(dst);
    copy_bounded(dst + used, size - used, src);
}

// The title as the lookup will read it back from the title line just written:
// the session looks for its song under it, and current_title names it.
static void remember_written_title(EditSession* session)
{
    char* line = state.title_line_buf;
    copy_bounded(line, LINE_BUF_SIZE, "::::: ");
    append_bounded(line, LINE_BUF_SIZE, state.edit_title);
    append_bounded(line, LINE_BUF_SIZE, " ::::: KEY=xx");
    char* title = extract_title(line, SKIP_ALL_BLANKS);
    trim_trailing(title);
    upper_case(title);
    copy_bounded(session->title, TITLE_SIZE, title);
    copy_bounded(state.current_title, TITLE_SIZE, title);
}

// Writes temp.cnr and swaps it in; *song receives what was written of the song.
static RewriteResult replace_library(SongFile* in, ByteRange range, UiWindow editor, SongOut* song)
{
    FILE* out = fopen(TEMP_FILE, "wb");
    if (!out) {
        song_file_close(in);
        return REWRITE_NO_TEMP;
    }
    RewriteResult result = write_new_library(in, range, editor, out, song);
    if (fclose(out) != 0 && result == REWRITE_OK)
        result = REWRITE_WRITE_FAILED;
    // closed before the swap: a file that is open cannot be replaced everywhere
    song_file_close(in);
    if (result == REWRITE_OK && replace_with_backup(LIBRARY_FILE, TEMP_FILE, BACKUP_FILE) != 0)
        result = REWRITE_SWAP_FAILED;
    if (result != REWRITE_OK)
        remove(TEMP_FILE);
    return result;
}

RewriteResult rewrite_songbook(EditSession* session, UiWindow editor)
{
    session->message[0] = 0;
    if (session->truncated)
        return REWRITE_TRUNCATED;
    RewriteResult result = check_editor_text(session, editor);
    if (result != REWRITE_OK)
        return result;
    if (song_file_open(&library, LIBRARY_FILE) != 0)
        return REWRITE_NO_LIBRARY;

    ByteRange range;
    bool went_elsewhere;
    result = plan_replacement(&library, session, &range, &went_elsewhere);
    if (result != REWRITE_OK) {
        song_file_close(&library);
        return result;
    }
    SongOut song;
    result = replace_library(&library, range, editor, &song);
    if (result != REWRITE_OK)
        return result;

    // from now on this editor's saves replace what this save wrote
    session->holds_song = 1;
    session->song_pos = range.start;
    session->song_len = song.len;
    session->song_hash = song.hash;
    remember_written_title(session);
    fill_title_list(state.list_dialog, LIBRARY_FILE);
    if (!went_elsewhere)
        return REWRITE_OK;
    snprintf(session->message, SESSION_MESSAGE_SIZE,
             "The song was saved as a new song \"%s\".\r"
             "The song you opened was changed by another window or program\r"
             "since, so it was left as it is. Both are now in the library.",
             session->title);
    return REWRITE_ADDED;
}

const char* rewrite_message(RewriteResult result, const EditSession* session)
{
    switch (result) {
    case REWRITE_OK:
        return "";
    case REWRITE_ADDED:
    case REWRITE_REFUSED:
        return session->message;
    case REWRITE_NO_LIBRARY:
        return "The song was not saved.\r"
               "The song library SONGBOOK.CNR cannot be opened or read.\r"
               "The library was left unchanged.";
    case REWRITE_NO_TEMP:
        return "The song was not saved.\r"
               "The working copy TEMP.CNR cannot be created in this folder;\r"
               "the folder may be read-only.\r"
               "The library SONGBOOK.CNR was left unchanged.";
    case REWRITE_WRITE_FAILED:
        return "The song was not saved.\r"
               "Writing the working copy TEMP.CNR failed; the disk may be full.\r"
               "The library SONGBOOK.CNR was left unchanged.";
    case REWRITE_SWAP_FAILED:
        return "The song was not saved.\r"
               "The backup OLDBOOK.CNR could not be written, or SONGBOOK.CNR\r"
               "could not be replaced; another program may be using them.\r"
               "The library SONGBOOK.CNR was left unchanged.";
    case REWRITE_TRUNCATED:
        return "The song was not saved.\r"
               "It is too long for the editor, which holds only its first part;\r"
               "saving that part would cut the song short.\r"
               "The library SONGBOOK.CNR was left unchanged.";
    }
    return "The song was not saved.";
}
