// ChordPro files and plain chord sheets turned into songs of the library: one file at a time.
#include "chordpro/import_work.h"

#include <cstddef>
#include <cstring>

void import_batch_reset(ImportBatch* batch)
{
    batch->song_count = 0;
    batch->used = 0;
}

static bool ends_with(const char* name, const char* extension)
{
    int n = (int)strlen(name);
    int e = (int)strlen(extension);
    if (n < e)
        return false;
    for (int i = 0; i < e; i++) {
        char c = name[n - e + i];
        if (c >= 'A' && c <= 'Z')
            c = (char)(c + 32);
        if (c != extension[i])
            return false;
    }
    return true;
}

ImportFormat format_of_name(const char* file_name)
{
    static const char* const chordpro_extensions[] = {".cho", ".chordpro", ".chopro", ".crd", ".pro"};
    for (const char* extension : chordpro_extensions) {
        if (ends_with(file_name, extension))
            return FORMAT_CHORDPRO;
    }
    return FORMAT_GUESS;
}

FileVerdict convert_song_file(unsigned char* bytes, int len, const char* file_name, ImportFormat format,
                              int source, ImportBatch* batch, ImportWork* cv)
{
    if (len <= 0)
        return FILE_EMPTY;
    if (len > IMPORT_FILE_MAX)
        return FILE_TOO_LARGE;
    len = decode_text(bytes, len);
    if (len < 0)
        return FILE_NOT_TEXT;
    if (is_blank_text((const char*)bytes, len))
        return FILE_EMPTY;

    memset(cv, 0, offsetof(ImportWork, pair));
    cv->batch = batch;
    cv->source = source;
    cv->file_name = file_name;
    int first_song = batch->song_count;
    int first_used = batch->used;
    if (format == FORMAT_GUESS)
        format = looks_like_chordpro(bytes, len, cv->line_a) ? FORMAT_CHORDPRO : FORMAT_CHORD_SHEET;
    LineReader reader = {bytes, len, 0};
    if (format == FORMAT_CHORDPRO)
        convert_chordpro(cv, &reader);
    else
        convert_chord_sheet(cv, &reader);

    if (cv->full) {
        // all of the file or nothing of it
        batch->song_count = first_song;
        batch->used = first_used;
        return FILE_NO_ROOM;
    }
    return batch->song_count > first_song ? FILE_READ : FILE_NO_SONG;
}
