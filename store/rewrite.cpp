// Songbook rewrite: the editor's song written into the library through a temporary copy.
#include "store/rewrite.h"

#include <cstdio>
#include <cstring>

#include "store/book_format.h"
#include "store/editor_text.h"
#include "store/library_copy.h"
#include "store/record.h"

enum { CTRL_Z = 0x1A };

// The bytes [start, end) of the library that the editor's song replaces; an empty
// range is the point where a new song goes in.
struct ByteRange {
    long start;
    long end;
};

bool editor_changed(const EditSession* session, const EditorText* boxes)
{
    return editor_text_hash(boxes) != session->shown_hash;
}

void edit_session_start(EditSession* session, const char* title, int new_song)
{
    memset(session, 0, sizeof *session);
    copy_bounded(session->title, TITLE_SIZE, title);
    session->new_song = new_song ? 1 : 0;
    session->song_pos = -1;
}

// The hash of the library's bytes [from, from + len); -1 when the file is
// shorter or cannot be read.
static int hash_region(RewriteWork* work, long from, long len, uint64_t* hash)
{
    if (song_file_seek(&work->library, from) != 0)
        return -1;
    uint64_t h = HASH_START;
    while (len > 0) {
        int want = len < (long)sizeof work->chunk ? (int)len : (int)sizeof work->chunk;
        int n = song_file_read_bytes(&work->library, work->chunk, want);
        if (n <= 0)
            return -1;
        h = hash_bytes(h, work->chunk, (size_t)n);
        len -= n;
    }
    *hash = h;
    return 0;
}

int measure_song(RewriteWork* work, long pos, long* len, uint64_t* hash)
{
    SongFile* file = &work->library;
    char* record = work->record;
    if (song_file_seek(file, pos) != 0 || read_record(file, record) != 0)
        return -1;
    if (file->record_start != pos || !is_title_line(record) || is_end_of_book(record))
        return -1;
    long end = song_file_offset(file);
    int got;
    while ((got = next_song_line(file, record)) > 0)
        end = song_file_offset(file);
    if (file->error)
        return -1;
    // comment lines belong to the song in front of them: up to the next title, or
    // at the end of the file up to the last line feed the readers reach
    end = got == 0 ? file->record_start : insertion_point(file, end, work->chunk);
    if (end < 0)
        return -1;
    *len = end - pos;
    return hash_region(work, pos, *len, hash);
}

// The held song stands at pos exactly as the editor loaded or last wrote it:
// the same bytes up to the next title line or the end of the book, so that lines
// added behind it by hand make it another song.
static bool song_unchanged_at(RewriteWork* work, const EditSession* session, long pos)
{
    long len;
    uint64_t hash;
    return pos >= 0 && measure_song(work, pos, &len, &hash) == 0 && len == session->song_len &&
           hash == session->song_hash;
}

// What the reading of the library learns: where a new song would go, the songs
// that carry the held song's title (it may have moved), and which songs already
// carry the title being written, plain or numbered "TITLE (n)".
struct LibraryScan {
    long end_mark;              // start of the first end-of-book record; -1: none reached
    long last_line_end;         // just behind the last record that ended at an LF
    int candidates;
    long candidate_pos[MAX_CANDIDATES];
};

// The number n of a key "TITLE (n)" for the title being written, or 0.
static int title_number(const char* key, const char* title)
{
    int len = (int)strlen(title);
    if (strncmp(key, title, (size_t)len) != 0 || key[len] != ' ' || key[len + 1] != '(')
        return 0;
    int n = 0;
    const char* p = key + len + 2;
    for (; *p >= '0' && *p <= '9' && n < NUMBERED_TITLES; p++)
        n = n * 10 + (*p - '0');
    return *p == ')' && p[1] == 0 && n < NUMBERED_TITLES ? n : 0;
}

static void note_title(RewriteWork* work, const EditSession* session, LibraryScan* scan, long start)
{
    char key[TITLE_KEY_SIZE];
    read_title(work->record, key);
    make_title_key(key);
    if (session->holds_song && scan->candidates < MAX_CANDIDATES && strcmp(key, session->title) == 0)
        scan->candidate_pos[scan->candidates++] = start;
    if (strcmp(key, work->key) == 0 && work->titles_taken < MAX_CANDIDATES)
        work->title_at[work->titles_taken++] = start;
    work->numbers_taken[title_number(key, work->key)] = 1;
}

// Reads the library as the lookup does, up to the end-of-book marker. Returns
// 0, or -1 on a read error.
static int scan_library(RewriteWork* work, const EditSession* session, LibraryScan* scan)
{
    SongFile* file = &work->library;
    memset(scan, 0, sizeof *scan);
    scan->end_mark = -1;
    work->titles_taken = 0;
    memset(work->numbers_taken, 0, sizeof work->numbers_taken);
    if (song_file_seek(file, 0) != 0)
        return -1;
    int got;
    while ((got = next_book_record(file, work->record)) >= 0) {
        long start = file->record_start;
        if (ended_at_line_feed(file))
            scan->last_line_end = song_file_offset(file);
        if (got == 0) {
            scan->end_mark = start;
            break;
        }
        if (is_title_line(work->record))
            note_title(work, session, scan, start);
    }
    return file->error ? -1 : 0;
}

// Chooses the bytes the editor's song replaces: the song the session holds, where
// it was or, when the file changed in front of it, wherever its bytes now stand
// whole. Nothing else is ever replaced: a song that is no longer as the editor
// saw it (saved over by another editor, changed or renamed by hand), a new song
// and a song that was not found go in as a new song, in front of the end-of-book
// marker or at the end, so that no text is ever dropped. *went_elsewhere tells
// that the held song was not found.
static RewriteResult plan_replacement(RewriteWork* work, const EditSession* session, ByteRange* range,
                                      bool* went_elsewhere)
{
    *went_elsewhere = false;
    LibraryScan scan;
    if (scan_library(work, session, &scan) != 0)
        return REWRITE_NO_LIBRARY;
    if (session->holds_song && song_unchanged_at(work, session, session->song_pos)) {
        *range = ByteRange{session->song_pos, session->song_pos + session->song_len};
        return REWRITE_OK;
    }
    for (int i = 0; i < scan.candidates; i++) {
        long pos = scan.candidate_pos[i];
        if (song_unchanged_at(work, session, pos)) {
            *range = ByteRange{pos, pos + session->song_len};
            return REWRITE_OK;
        }
    }
    *went_elsewhere = session->holds_song != 0;
    long point = scan.end_mark;
    if (point < 0)
        point = insertion_point(&work->library, scan.last_line_end, work->chunk);
    if (point < 0)
        return REWRITE_NO_LIBRARY;
    *range = ByteRange{point, point};
    return REWRITE_OK;
}

// The title box in capitals without trailing blanks (the title list shows a
// written title with one, and the box gets it from there: it must not grow at
// every save), without the bytes that would break the title line (CR, LF) or
// end the library (0x1A). An empty box gives "NONAME": an empty title is never
// found again.
// The key the lookup will read back from the title line written.
static void set_key(RewriteWork* work)
{
    char line[TITLE_LINE_SIZE];
    format_title_line(line, sizeof line, work->title);
    read_title(line, work->key);
    make_title_key(work->key);
}

static void take_title(RewriteWork* work, const char* box)
{
    int n = 0;
    for (; *box && n < TITLE_MAX; box++)
        if (*box != '\r' && *box != '\n' && *box != CTRL_Z)
            work->title[n++] = *box;
    work->title[n] = 0;
    upper_case(work->title);
    while (n > 0 && work->title[n - 1] == ' ')
        work->title[--n] = 0;
    if (n == 0)
        copy_bounded(work->title, TITLE_SIZE, "NONAME");
    set_key(work);
}

// A title another song already has: a save that went elsewhere takes the first
// free "TITLE (n)"; a new song or a rename is refused. A song that kept its own
// title may share it with songs a hand edit left (the home screen says so).
static RewriteResult settle_title(RewriteWork* work, EditSession* session, ByteRange range, bool went_elsewhere)
{
    int others = 0;
    for (int i = 0; i < work->titles_taken; i++)
        others += range.start == range.end || work->title_at[i] != range.start;
    if (others == 0)
        return REWRITE_OK;
    if (!went_elsewhere && !session->new_song && session->holds_song && strcmp(work->key, session->title) == 0)
        return REWRITE_OK;
    if (went_elsewhere) {
        for (int n = 2; n < NUMBERED_TITLES; n++) {
            if (work->numbers_taken[n])
                continue;
            char suffix[8];
            int suffix_len = snprintf(suffix, sizeof suffix, " (%d)", n);
            int keep = (int)strlen(work->title);
            if (keep > TITLE_MAX - suffix_len)
                keep = TITLE_MAX - suffix_len;
            work->title[keep] = 0;
            make_title_key(work->title);
            strcat(work->title, suffix);
            set_key(work);
            return REWRITE_OK;
        }
    }
    snprintf(session->message, SESSION_MESSAGE_SIZE,
             "The song was not saved.\r"
             "The library already holds a song titled \"%s\";\r"
             "two songs of one title cannot both be opened.\r"
             "Give this song another title and save again.",
             work->key);
    return REWRITE_TITLE_TAKEN;
}

// temp.cnr: the library before the range, the editor's song, the library behind
// it; then swapped in with the backup. *song receives what was written of the song.
static RewriteResult write_library(RewriteWork* work, SafeWrite* out, ByteRange range, const EditorText* boxes,
                                   SongOut* song)
{
    *song = SongOut{out, HASH_START, 0};
    int read_failed = copy_bytes(&work->library, 0, range.start, out, work->chunk);
    if (read_failed == 0) {
        write_song(song, work->title, boxes);
        read_failed = copy_bytes(&work->library, range.end, -1, out, work->chunk);
    }
    // closed before the swap: a file that is open cannot be replaced everywhere
    song_file_close(&work->library);
    if (read_failed != 0) {
        safe_write_abandon(out);
        return REWRITE_NO_LIBRARY;
    }
    return safe_write_commit(out, BACKUP_FILE) == WRITE_OK ? REWRITE_OK : REWRITE_NOT_WRITTEN;
}

static RewriteResult not_written(EditSession* session, WriteResult why)
{
    session->write_error = why;
    return REWRITE_NOT_WRITTEN;
}

// Plans and writes the save with the folder's lock held; the library is read
// inside it, so that no other program's save comes in between.
static RewriteResult save_locked(EditSession* session, const EditorText* boxes, RewriteWork* work, SafeWrite* out,
                                 ByteRange* range, bool* went_elsewhere, SongOut* song)
{
    if (song_file_open(&work->library, LIBRARY_FILE) != 0) {
        safe_write_abandon(out);
        return REWRITE_NO_LIBRARY;
    }
    RewriteResult result = plan_replacement(work, session, range, went_elsewhere);
    if (result == REWRITE_OK)
        result = settle_title(work, session, *range, *went_elsewhere);
    if (result != REWRITE_OK) {
        song_file_close(&work->library);
        safe_write_abandon(out);
        return result;
    }
    result = write_library(work, out, *range, boxes, song);
    if (result == REWRITE_NOT_WRITTEN)
        not_written(session, out->result);
    return result;
}

RewriteResult rewrite_songbook(EditSession* session, const EditorText* boxes, RewriteWork* work)
{
    session->message[0] = 0;
    session->write_error = WRITE_OK;
    if (session->truncated)
        return REWRITE_TRUNCATED;
    if (!editor_changed(session, boxes))
        return REWRITE_UNCHANGED;
    take_title(work, boxes->title);
    if (!check_editor_text(boxes, work->title, session->message, SESSION_MESSAGE_SIZE))
        return REWRITE_REFUSED;

    SafeWrite out;
    RewriteResult result;
    WriteResult begun = safe_write_begin(&out, LIBRARY_FILE, TEMP_FILE);
    if (begun != WRITE_OK)
        return not_written(session, begun);
    ByteRange range;
    bool went_elsewhere = false;
    SongOut song;
    result = save_locked(session, boxes, work, &out, &range, &went_elsewhere, &song);
    if (result != REWRITE_OK)
        return result;

    // from now on this editor's saves replace what this save wrote
    session->holds_song = 1;
    session->song_pos = range.start;
    session->song_len = song.len;
    session->song_hash = song.hash;
    copy_bounded(session->title, TITLE_SIZE, work->key);
    copy_bounded(state.current_title, TITLE_SIZE, work->key);
    if (!went_elsewhere)
        return REWRITE_OK;
    snprintf(session->message, SESSION_MESSAGE_SIZE,
             "The song was saved as a new song \"%s\".\r"
             "The song you opened was changed by another window or program\r"
             "since, so it was left as it is. Both are now in the library.",
             session->title);
    return REWRITE_ADDED;
}

// Why the new library could not be written, in the words of the message box;
// the working copy and the backup are named, since either may be what failed.
static const char* not_written_message(WriteResult why)
{
    switch (why) {
    case WRITE_DISK_FULL:
        return "The song was not saved: the disk is full.\r"
               "The new library TEMP.CNR or the backup OLDBOOK.CNR could not be written whole.\r"
               "The library SONGBOOK.CNR was left unchanged.";
    case WRITE_READ_ONLY:
        return "The song was not saved: the file or its folder is read-only.\r"
               "SONGBOOK.CNR, OLDBOOK.CNR or the working copy TEMP.CNR cannot be written here.\r"
               "The library SONGBOOK.CNR was left unchanged.";
    case WRITE_IN_USE:
        return "The song was not saved: another program is using the library.\r"
               "SONGBOOK.CNR, OLDBOOK.CNR or TEMP.CNR is held open elsewhere.\r"
               "The library SONGBOOK.CNR was left unchanged.";
    case WRITE_BUSY:
        return "The song was not saved: the library is busy.\r"
               "Another program is saving into this folder right now; save again in a moment.\r"
               "The library SONGBOOK.CNR was left unchanged.";
    default:
        return "The song was not saved.\r"
               "The new library TEMP.CNR or the backup OLDBOOK.CNR could not be written.\r"
               "The library SONGBOOK.CNR was left unchanged.";
    }
}

const char* rewrite_message(RewriteResult result, const EditSession* session)
{
    switch (result) {
    case REWRITE_OK:
    case REWRITE_UNCHANGED:
        return "";
    case REWRITE_ADDED:
    case REWRITE_REFUSED:
    case REWRITE_TITLE_TAKEN:
        return session->message;
    case REWRITE_NOT_WRITTEN:
        return not_written_message(session->write_error);
    case REWRITE_NO_LIBRARY:
        return "The song was not saved.\r"
               "The song library SONGBOOK.CNR cannot be opened or read.\r"
               "The library was left unchanged.";
    case REWRITE_TRUNCATED:
        return "The song was not saved.\r"
               "It is too long for the editor, which holds only its first part;\r"
               "saving that part would cut the song short.\r"
               "The library SONGBOOK.CNR was left unchanged.";
    }
    return "The song was not saved.";
}
