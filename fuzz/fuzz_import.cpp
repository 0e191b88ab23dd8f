// Fuzz target of the import's conversion and of the chord-row rule: arbitrary file bytes.
//
// The first byte picks the format (guessed, ChordPro, chord sheet); the rest is
// the file. Every song that comes out must be one the library holds as it is:
// a title of at most 49 characters without ':' or the library's marks, body
// lines of at most 99 characters without CR, 0x1A, ":::::" or "#*#*#".
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "chordpro/import.h"
#include "transpose/chord_row.h"

namespace {

ImportBatch batch;
unsigned char bytes[IMPORT_FILE_MAX];

void check_title(const char* title)
{
    size_t len = strlen(title);
    if (len == 0 || len > IMPORT_TITLE_MAX || strchr(title, ':') || strstr(title, "#*#*#") ||
        strstr(title, "*****") || title[len - 1] == ' ')
        abort();
    for (size_t i = 0; i < len; i++) {
        unsigned char c = (unsigned char)title[i];
        if (c < 0x20 || (c >= 'a' && c <= 'z'))
            abort();
    }
}

void check_line(const char* line, int len)
{
    if (len > IMPORT_ROW_MAX || (len > 0 && (line[0] == ';' || line[len - 1] == ' ')))
        abort();
    char row[IMPORT_ROW_MAX + 1];
    memcpy(row, line, (size_t)len);
    row[len] = 0;
    if (strlen(row) != (size_t)len || strchr(row, '\r') || strchr(row, 0x1A) || strchr(row, '&') ||
        strstr(row, ":::::") || strstr(row, "#*#*#"))
        abort();
}

void check_song(const NewSong& song)
{
    check_title(song.title);
    if (song.body < batch.pool || song.body_len <= 0 || song.body + song.body_len > batch.pool + batch.used ||
        song.body[song.body_len - 1] != '\n')
        abort();
    const char* line = song.body;
    const char* end = song.body + song.body_len;
    while (line < end) {
        const char* stop = (const char*)memchr(line, '\n', (size_t)(end - line));
        check_line(line, (int)(stop - line));
        line = stop + 1;
    }
}

// The rule on the input's own lines: a marked row grows by one byte at most.
void check_rule(const uint8_t* data, size_t size)
{
    char out[IMPORT_LINE_MAX + 2];
    size_t start = 0;
    while (start < size) {
        const uint8_t* nl = (const uint8_t*)memchr(data + start, '\n', size - start);
        size_t stop = nl ? (size_t)(nl - data) : size;
        int len = (int)(stop - start);
        if (len <= IMPORT_LINE_MAX) {
            int n = mark_chord_row((const char*)data + start, len, out, sizeof out);
            if (n != -1 && (n < len || n > len + 1))
                abort();
        }
        start = stop + 1;
    }
    char hint[160];
    chord_row_hint((const char*)data, (int)size, hint, sizeof hint);
    if (!memchr(hint, 0, sizeof hint))
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size - 1 > IMPORT_FILE_MAX)
        return 0;
    ImportFormat format = (ImportFormat)(data[0] % 3);
    memcpy(bytes, data + 1, size - 1);
    import_batch_reset(&batch);
    FileVerdict verdict = convert_song_file(bytes, (int)(size - 1), "fuzz input.cho", format, 7, &batch);
    if ((verdict == FILE_READ) != (batch.song_count > 0))
        abort();
    for (int i = 0; i < batch.song_count; i++) {
        if (batch.source[i] != 7)
            abort();
        check_song(batch.songs[i]);
    }
    check_rule(data + 1, size - 1);
    return 0;
}
