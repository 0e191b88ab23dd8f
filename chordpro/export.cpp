// The song list as one ChordPro file, UTF-8, for tablet and desktop chord programs.
#include "chordpro/export.h"

#include <cstring>
#include <initializer_list>

#include "chordpro/cp1252.h"
#include "layout/page_layout.h"
#include "store/file_replace.h"
#include "store/record.h"
#include "transpose/transpose.h"

enum {
    // a merged row: 99 lyric columns, padding up to the 99th, and every chord
    // with its two brackets (at most 50 chords in 99 columns)
    MERGED_SIZE = 2 * LINE_WIDTH + 2 * LINE_WIDTH,
    UTF8_SIZE = 3 * MERGED_SIZE + 1,
    FILE_NAME_MAX = 1024
};

static const char temp_suffix[] = ".tmp";

// Writes text as UTF-8 with a CR LF behind it.
static bool write_line(FILE* out, const char* before, const char* text, const char* after)
{
    char utf8[UTF8_SIZE];
    int used = 0;
    for (const char* part : {before, text, after})
        for (const unsigned char* p = (const unsigned char*)part; *p && used + 4 < UTF8_SIZE; p++)
            used += cp1252_to_utf8(*p, utf8 + used);
    utf8[used++] = '\r';
    utf8[used++] = '\n';
    return fwrite(utf8, 1, (size_t)used, out) == (size_t)used;
}

static void append(char* out, int* used, char c)
{
    if (*used < MERGED_SIZE - 1)
        out[(*used)++] = c;
}

// The lyric with each chord of the chord row put in as "[chord]" in front of the
// column where the chord starts; a chord beyond the lyric's end pads it with
// blanks. An empty lyric gives a line of chords at their columns.
static void merge_chords(const char* chords, const char* lyric, char* out)
{
    int lyric_length = (int)strnlen(lyric, LINE_WIDTH - 1);
    int chord_length = (int)strnlen(chords, LINE_WIDTH - 1);
    int last_start = -1;
    for (int c = 0; c < chord_length; c++)
        if (chords[c] != ' ' && (c == 0 || chords[c - 1] == ' '))
            last_start = c;
    int used = 0;
    int end = lyric_length > last_start + 1 ? lyric_length : last_start + 1;
    for (int c = 0; c < end; c++) {
        if (c < chord_length && chords[c] != ' ' && (c == 0 || chords[c - 1] == ' ')) {
            append(out, &used, '[');
            for (int k = c; k < chord_length && chords[k] != ' '; k++)
                append(out, &used, chords[k]);
            append(out, &used, ']');
        }
        if (c < lyric_length)
            append(out, &used, lyric[c]);
        else if (c < last_start)
            append(out, &used, ' ');
    }
    out[used] = 0;
}

int write_chordpro_song(FILE* out, const SongLines* song, bool found)
{
    RowKind kinds[LINE_ROWS];
    int rows = song->count < LINE_ROWS ? song->count : LINE_ROWS;
    row_kinds(song->raw, rows, kinds);
    bool ok = write_line(out, "{title: ", song->spelled, "}");
    if (!found)
        ok = ok && write_line(out, "{comment: ", "Song Not Found", "}");
    char merged[MERGED_SIZE];
    for (int row = 1; row < rows && ok; row++) {
        if (kinds[row] != ROW_CHORD) {
            ok = write_line(out, "", song->shown[row], "");
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

static int write_songs(FILE* out, const SongListEntry* songs, int count, SongLines* export_song)
{
    long title_at[SONG_LIST_SIZE];
    if (count > SONG_LIST_SIZE)
        count = SONG_LIST_SIZE;
    find_titles(songs, count, title_at);
    for (int i = 0; i < count; i++) {
        if (i > 0 && !write_line(out, "", "{new_song}", ""))
            return -1;
        bool found = load_song_lines_at(songs[i].title, title_at[i], export_song) == 0;
        transpose_lines(export_song->raw, export_song->shown, export_song->count, songs[i].key_change);
        if (write_chordpro_song(out, export_song, found) != 0)
            return -1;
    }
    return 0;
}

int export_song_list(const SongListEntry* songs, int count, const char* file_name, SongLines* work)
{
    char temp[FILE_NAME_MAX + sizeof temp_suffix];
    int length = (int)strlen(file_name);
    if (length == 0 || length > FILE_NAME_MAX)
        return -1;
    memcpy(temp, file_name, (size_t)length);
    memcpy(temp + length, temp_suffix, sizeof temp_suffix);
    FILE* out = fopen(temp, "wb");
    if (!out)
        return -1;
    int failed = write_songs(out, songs, count, work) != 0 || flush_to_disk(out) != 0;
    if (fclose(out) != 0)
        failed = 1;
    if (!failed && replace_file(file_name, temp) != 0)
        failed = 1;
    if (failed)
        remove(temp);
    return failed ? -1 : 0;
}
