// The song list as ChordPro, UTF-8, for tablet and desktop chord programs: one file, or one file a song.
#include "chordpro/export.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "chordpro/cp1252.h"
#include "chordpro/import.h"
#include "layout/page_layout.h"
#include "store/safe_write.h"
#include "store/record.h"
#include "transpose/transpose.h"

enum {
    // a merged row: 99 lyric columns each perhaps escaped, padding up to the 99th,
    // and every chord with its two brackets (at most 50 chords in 99 columns)
    MERGED_SIZE = 3 * LINE_WIDTH + 2 * LINE_WIDTH,
    UTF8_SIZE = 3 * MERGED_SIZE + 1,
    FILE_NAME_MAX = 1024
};


#ifdef _WIN32
static const char FOLDER_SEPARATOR = '\\';
#else
static const char FOLDER_SEPARATOR = '/';
#endif

// Writes text as UTF-8 with a CR LF behind it. A line ending in a backslash
// gets a blank behind it: ChordPro would join the next line to it.
static bool write_line(FILE* out, const char* before, const char* text, const char* after)
{
    char utf8[UTF8_SIZE];
    int used = 0;
    for (const char* part : {before, text, after})
        for (const unsigned char* p = (const unsigned char*)part; *p && used + 4 < UTF8_SIZE; p++)
            used += cp1252_to_utf8(*p, utf8 + used);
    if (used > 0 && utf8[used - 1] == '\\')
        utf8[used++] = ' ';
    utf8[used++] = '\r';
    utf8[used++] = '\n';
    return fwrite(utf8, 1, (size_t)used, out) == (size_t)used;
}

struct Merged {
    char text[MERGED_SIZE];
    int used;
    bool escaped_before_chord;   // an escape stands before the row's first chord
    bool chord_written;
};

static void append(Merged* m, char c)
{
    if (m->used < MERGED_SIZE - 1)
        m->text[m->used++] = c;
}

// A character of the words. '[' would start a chord, '{' a directive, '#' a
// comment (anywhere in the line for some readers), '\' an escape: each gets a
// backslash, which ChordPro readers and this program's import take away again.
static void append_lyric(Merged* m, char c)
{
    if (c == '[' || c == '{' || c == '#' || c == '\\') {
        append(m, '\\');
        m->escaped_before_chord = m->escaped_before_chord || !m->chord_written;
    }
    append(m, c);
}

// The lyric with each chord of the chord row put in as "[chord]" in front of the
// column where the chord starts; a chord beyond the lyric's end pads it with
// blanks. An empty lyric gives a line of chords at their columns. A row whose
// words before the first chord hold an escape starts with an empty chord "[]":
// chordsheetjs takes the words at a line's start as they stand, backslashes and all.
static void merge_chords(const char* chords, const char* lyric, char* out)
{
    int lyric_length = (int)strnlen(lyric, LINE_WIDTH - 1);
    int chord_length = (int)strnlen(chords, LINE_WIDTH - 1);
    int last_start = -1;
    for (int c = 0; c < chord_length; c++)
        if (chords[c] != ' ' && (c == 0 || chords[c - 1] == ' '))
            last_start = c;
    Merged m = {};
    int end = lyric_length > last_start + 1 ? lyric_length : last_start + 1;
    for (int c = 0; c < end; c++) {
        if (c < chord_length && chords[c] != ' ' && (c == 0 || chords[c - 1] == ' ')) {
            append(&m, '[');
            for (int k = c; k < chord_length && chords[k] != ' '; k++)
                append(&m, chords[k]);
            append(&m, ']');
            m.chord_written = true;
        }
        if (c < lyric_length)
            append_lyric(&m, lyric[c]);
        else if (c < last_start)
            append(&m, ' ');
    }
    int start = 0;
    if (m.escaped_before_chord) {
        memcpy(out, "[]", 2);
        start = 2;
    }
    memcpy(out + start, m.text, (size_t)m.used);
    out[start + m.used] = 0;
}

// A title as a directive's value: '{', '}' and '\' escaped.
static void escape_title(const char* title, char* out, int size)
{
    int n = 0;
    for (const char* p = title; *p && n < size - 3; p++) {
        if (*p == '{' || *p == '}' || *p == '\\')
            out[n++] = '\\';
        out[n++] = *p;
    }
    out[n] = 0;
}

int write_chordpro_song(FILE* out, const SongLines* song, bool found)
{
    RowKind kinds[LINE_ROWS];
    int rows = song->count < LINE_ROWS ? song->count : LINE_ROWS;
    row_kinds(song->raw, rows, kinds);
    char title[2 * TITLE_SIZE];
    escape_title(song->spelled, title, sizeof title);
    bool ok = write_line(out, "{title: ", title, "}");
    if (!found)
        return ok && write_line(out, "# ", "Song Not Found", "") ? 0 : -1;
    char merged[MERGED_SIZE];
    for (int row = 1; row < rows && ok; row++) {
        if (kinds[row] != ROW_CHORD) {
            merge_chords("", song->shown[row], merged);
            ok = write_line(out, "", merged, "");
            continue;
        }
        bool words_below = row + 1 < rows && kinds[row + 1] == ROW_LYRIC;
        merge_chords(song->shown[row], words_below ? song->shown[row + 1] : "", merged);
        ok = write_line(out, "", merged, "");
        if (words_below)
            row++;
    }
    return ok ? 0 : -1;
}

// The one place the export opens a file: through the safe writer, as a temporary
// file next to file_name, flushed, then moved over file_name in one step. Returns
// 0, or -1 with file_name as it was and no temporary file left.
static int write_file_replacing(const char* file_name, int (*write)(FILE* out, void* what), void* what)
{
    SafeWrite out;
    if (file_name[0] == 0 || safe_write_begin(&out, file_name, nullptr) != WRITE_OK)
        return -1;
    if (write(out.file, what) != 0) {
        safe_write_abandon(&out);
        return -1;
    }
    return safe_write_commit(&out, nullptr) == WRITE_OK ? 0 : -1;
}

// The songs [first, last) of one export, each loaded and transposed into work in turn.
struct ExportJob {
    const SongListEntry* songs;
    int first;
    int last;
    const long* title_at;
    SongLines* work;
};

// The first line of every file: its chords stand at the columns of the chord rows.
static bool write_columns_note(FILE* out)
{
    return write_line(out, "{" EXACT_COLUMNS_DIRECTIVE ": exact}", "", "");
}

static int write_songs(FILE* out, void* what)
{
    const ExportJob* job = (const ExportJob*)what;
    if (!write_columns_note(out))
        return -1;
    for (int i = job->first; i < job->last; i++) {
        if (i > job->first && !write_line(out, "", "{new_song}", ""))
            return -1;
        bool found = load_song_lines_at(job->songs[i].title, job->title_at[i], job->work) == 0;
        transpose_lines(job->work->raw, job->work->shown, job->work->count, job->songs[i].key_change);
        if (write_chordpro_song(out, job->work, found) != 0)
            return -1;
    }
    return 0;
}

int export_song_list(const SongListEntry* songs, int count, const char* file_name, SongLines* work)
{
    long title_at[SONG_LIST_SIZE];
    if (count > SONG_LIST_SIZE)
        count = SONG_LIST_SIZE;
    find_titles(songs, count, title_at);
    ExportJob job = {songs, 0, count, title_at, work};
    return write_file_replacing(file_name, write_songs, &job);
}

void song_file_name(int position, const char* title, char* name, int size)
{
    char clean[TITLE_SIZE];
    int n = 0;
    for (const char* p = title; *p && n < TITLE_SIZE - 1; p++) {
        unsigned char c = (unsigned char)*p;
        // characters Windows refuses in a file name
        clean[n++] = c < 0x20 || strchr("\\/:*?\"<>|", c) ? '-' : (char)c;
    }
    clean[n] = 0;
    trim_trailing(clean);
    for (n = (int)strlen(clean); n > 0 && clean[n - 1] == '.'; n--)
        clean[n - 1] = 0;
    const char* start = clean;
    while (*start == ' ')
        start++;
    snprintf(name, (size_t)size, "%02d %s.cho", position, *start ? start : "Song");
}

int export_song_files(const SongListEntry* songs, int count, const char* folder, SongLines* work, char* failed,
                      int failed_size)
{
    long title_at[SONG_LIST_SIZE];
    if (count > SONG_LIST_SIZE)
        count = SONG_LIST_SIZE;
    find_titles(songs, count, title_at);
    int folder_len = (int)strlen(folder);
    bool separated = folder_len == 0 || folder[folder_len - 1] == '/' || folder[folder_len - 1] == '\\';
    const char separator[2] = {separated ? '\0' : FOLDER_SEPARATOR, 0};
    for (int i = 0; i < count; i++) {
        // the name comes from the title as the library spells it
        load_song_lines_at(songs[i].title, title_at[i], work);
        char name[TITLE_SIZE + 16];
        song_file_name(i + 1, work->spelled, name, sizeof name);
        char path[FILE_NAME_MAX + 1];
        snprintf(path, sizeof path, "%s%s%s", folder, separator, name);
        copy_bounded(failed, failed_size, path);
        ExportJob job = {songs, i, i + 1, title_at, work};
        if (write_file_replacing(path, write_songs, &job) != 0)
            return -1;
    }
    failed[0] = 0;
    return 0;
}
