// Songbook rewrite: the editor's song written into the library through a temporary copy.
#include "store/rewrite.h"

#include <cstring>

#include "shell/ui.h"
#include "store/file_replace.h"
#include "store/index.h"
#include "store/library_copy.h"
#include "store/record.h"

enum {
    CTRL_Z = 0x1A
};

static const char END_MARK[] = "#*#*#";
static const char TITLE_MARK[] = ":::::";

// The bytes [start, end) of the library that the editor's song replaces; an empty
// range is the point where a new song goes in.
struct ByteRange {
    long start;
    long end;
};

// What the first reading of the library learns. A song runs from the first byte
// of its title record to the end of its last record (title or body): comment
// lines in front of the next title line, an unterminated last line and the bytes
// behind a 0x1A stay outside it.
struct LibraryScan {
    long song_start;            // the song being read; -1 before the first title line
    long song_end;
    bool song_at_pos;           // its title record starts at edit_song_pos, title matching
    bool song_by_title;         // its title matches
    ByteRange at_pos;           // the song the editor holds, when still where it was
    ByteRange first_by_title;   // the first song of the title, as the lookup finds it
    int title_matches;          // songs of the title before the end-of-book marker
    long end_mark;              // start of the first end-of-book record; -1: none reached
    long last_line_end;         // just behind the last record that ended at an LF
};

static SongFile library;

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

static void close_song(LibraryScan* scan)
{
    if (scan->song_start < 0)
        return;
    ByteRange song = {scan->song_start, scan->song_end};
    if (scan->song_at_pos)
        scan->at_pos = song;
    if (scan->song_by_title && scan->first_by_title.start < 0)
        scan->first_by_title = song;
    scan->song_start = -1;
}

// The song to replace is known and nothing behind it can change the choice.
static bool choice_made(const LibraryScan* scan)
{
    if (scan->at_pos.start >= 0)
        return true;
    return state.edit_song_pos < 0 && !state.new_song_mode && scan->first_by_title.start >= 0;
}

// Reads the library as the lookup does, keeping the byte offsets of the songs of
// the title and of the end of the book. Returns 0, or -1 on a read error.
static int scan_library(SongFile* file, const char* key, LibraryScan* scan)
{
    *scan = LibraryScan{-1, -1, false, false, {-1, -1}, {-1, -1}, 0, -1, 0};
    char* record = state.line_buf;
    while (read_record(file, record) == 0) {
        long start = file->record_start;
        long end = song_file_offset(file);
        if (ended_at_line_feed(file))
            scan->last_line_end = end;
        if (strstr(record, END_MARK)) {
            close_song(scan);
            scan->end_mark = start;
            break;
        }
        if (!strstr(record, TITLE_MARK)) {
            if (scan->song_start >= 0)
                scan->song_end = end;
            continue;
        }
        close_song(scan);
        if (choice_made(scan))
            break;
        bool same = title_matches(record, key);
        scan->song_start = start;
        scan->song_end = end;
        scan->song_at_pos = same && start == state.edit_song_pos;
        scan->song_by_title = same;
        if (same)
            scan->title_matches++;
    }
    close_song(scan);
    return file->error ? -1 : 0;
}

// Chooses the bytes the editor's song replaces. The song the editor holds is
// replaced; if the file changed since, the first song of the title, but only
// while that title is unique (a second song of the title may be the one the
// edited song was renamed to). An editor that holds no song yet replaces the
// first song of the title as the lookup finds it, unless it holds a new song.
// Otherwise the song goes in as a new song, in front of the end-of-book marker
// or at the end: nothing is ever dropped.
static RewriteResult plan_replacement(SongFile* file, const char* key, ByteRange* range)
{
    LibraryScan scan;
    if (scan_library(file, key, &scan) != 0)
        return REWRITE_NO_LIBRARY;
    if (scan.at_pos.start >= 0) {
        *range = scan.at_pos;
        return REWRITE_OK;
    }
    bool by_title_allowed = state.edit_song_pos < 0 ? !state.new_song_mode : scan.title_matches == 1;
    if (scan.first_by_title.start >= 0 && by_title_allowed) {
        *range = scan.first_by_title;
        return REWRITE_OK;
    }
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
static void take_editor_title()
{
    ui_editor_get_title(state.edit_title, TITLE_SIZE);
    drop_line_breakers(state.edit_title);
    upper_case(state.edit_title);
    int len = (int)strlen(state.edit_title);
    while (len > 0 && state.edit_title[len - 1] == ' ')
        state.edit_title[--len] = 0;
    if (len == 0)
        copy_bounded(state.edit_title, TITLE_SIZE, "NONAME");
}

static bool put_text(const char* text, FILE* out)
{
    return fputs(text, out) != EOF;
}

// The title line as it is stored: its line feed written in text mode, CR CR LF.
static bool write_title_line(const char* title, FILE* out)
{
    return put_text("::::: ", out) && put_text(title, out) && put_text(" ::::: KEY=xx\r\r\n", out);
}

// Writes a line of the text box without its bytes 0x1A: one of them would end
// the library for every reader, hiding all songs behind it.
static bool write_text_line(const char* line, int len, FILE* out)
{
    while (len > 0) {
        const char* stop = (const char*)memchr(line, CTRL_Z, (size_t)len);
        int run = stop ? (int)(stop - line) : len;
        if (run > 0 && fwrite(line, 1, (size_t)run, out) != (size_t)run)
            return false;
        if (!stop)
            break;
        line += run + 1;
        len -= run + 1;
    }
    return true;
}

int write_song_body(UiWindow editor, char* line_buf, FILE* out)
{
    (void)editor;   // the boxes are reached through the interface
    if (!put_text(" \r\n", out))
        return -1;
    int lines = ui_editor_line_count();
    for (int i = 0; i < lines; i++) {
        int len = ui_editor_get_line(i, line_buf, EDIT_BUF_SIZE);
        if (!write_text_line(line_buf, len, out) || !put_text(" \r\n", out))
            return -1;
    }
    return 0;
}

// temp.cnr: the library before the range, the editor's song, the library behind
// it, flushed to the disk.
static RewriteResult write_new_library(SongFile* in, ByteRange range, UiWindow editor, FILE* out)
{
    RewriteResult result = copy_bytes(in, 0, range.start, out);
    if (result != REWRITE_OK)
        return result;
    if (!write_title_line(state.edit_title, out) || write_song_body(editor, state.edit_buf, out) != 0)
        return REWRITE_WRITE_FAILED;
    result = copy_bytes(in, range.end, -1, out);
    if (result != REWRITE_OK)
        return result;
    if (flush_to_disk(out) != 0)
        return REWRITE_WRITE_FAILED;
    return REWRITE_OK;
}

static void append_bounded(char* dst, int size, const char* src)
{
    int used = (int)strlen(dst);
    copy_bounded(dst + used, size - used, src);
}

// The title as the lookup will read it back from the title line just written,
// so that the next save from the same editor finds the song at its new place.
static void remember_written_title()
{
    char* line = state.title_line_buf;
    copy_bounded(line, LINE_BUF_SIZE, "::::: ");
    append_bounded(line, LINE_BUF_SIZE, state.edit_title);
    append_bounded(line, LINE_BUF_SIZE, " ::::: KEY=xx");
    char* title = extract_title(line, SKIP_ALL_BLANKS);
    trim_trailing(title);
    upper_case(title);
    copy_bounded(state.current_title, TITLE_SIZE, title);
}

RewriteResult rewrite_songbook(UiWindow editor)
{
    if (state.edit_truncated && !state.new_song_mode)
        return REWRITE_TRUNCATED;
    if (song_file_open(&library, LIBRARY_FILE) != 0)
        return REWRITE_NO_LIBRARY;

    char key[TITLE_SIZE];
    copy_bounded(key, TITLE_SIZE, state.current_title);
    upper_case(key);
    trim_trailing(key);
    ByteRange range;
    RewriteResult result = plan_replacement(&library, key, &range);
    if (result != REWRITE_OK) {
        song_file_close(&library);
        return result;
    }

    take_editor_title();
    FILE* out = fopen(TEMP_FILE, "wb");
    if (!out) {
        song_file_close(&library);
        return REWRITE_NO_TEMP;
    }
    result = write_new_library(&library, range, editor, out);
    if (fclose(out) != 0 && result == REWRITE_OK)
        result = REWRITE_WRITE_FAILED;
    // closed before the swap: a file that is open cannot be replaced everywhere
    song_file_close(&library);
    if (result != REWRITE_OK) {
        remove(TEMP_FILE);
        return result;
    }
    if (replace_with_backup(LIBRARY_FILE, TEMP_FILE, BACKUP_FILE) != 0) {
        remove(TEMP_FILE);
        return REWRITE_SWAP_FAILED;
    }

    state.edit_song_pos = range.start;
    remember_written_title();
    fill_title_list(state.list_dialog, LIBRARY_FILE);
    return REWRITE_OK;
}

const char* rewrite_message(RewriteResult result)
{
    switch (result) {
    case REWRITE_OK:
        return "";
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
