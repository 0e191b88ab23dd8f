// Fuzz target of the import's conversion and of the chord-row rule: arbitrary file bytes.
//
// The first byte picks the format (guessed, ChordPro, chord sheet); the rest is
// the file. Every song that comes out must be one the library holds as it is:
// a title of at most 49 characters without ':' or the library's marks, body
// lines of at most 99 characters without CR, 0x1A, ":::::" or "#*#*#".
#include <cstring>
#include <string>

#include "chordpro/import_work.h"
#include "tests/support/fuzz_work_dir.h"
#include "transpose/chord_hint.h"
#include "transpose/chord_row.h"

namespace {

ImportBatch batch;
ImportWork work;
unsigned char bytes[IMPORT_FILE_MAX];

void check_song(const NewSong& song)
{
    std::string title = song.title;
    fuzz_check(!title.empty() && title.size() <= IMPORT_TITLE_MAX && title.back() != ' ' &&
                   title.find_first_of(":abcdefghijklmnopqrstuvwxyz") == std::string::npos &&
                   title.find("#*#*#") == std::string::npos && title.find("*****") == std::string::npos,
               "a title the library cannot hold");
    for (char c : title)
        fuzz_check((unsigned char)c >= 0x20, "a control character in a title");
    fuzz_check(song.body >= batch.pool && song.body_len > 0 && song.body + song.body_len <= batch.pool + batch.used &&
                   song.body[song.body_len - 1] == '\n',
               "a body outside the pool or not ending with a line feed");
    std::string body(song.body, (size_t)song.body_len);
    for (size_t at = 0, end; at < body.size(); at = end + 1) {
        std::string line = body.substr(at, (end = body.find('\n', at)) - at);
        fuzz_check(line.size() <= IMPORT_ROW_MAX && (line.empty() || (line[0] != ';' && line.back() != ' ')) &&
                       line.find_first_of(std::string("\r\x1A&\0", 4)) == std::string::npos &&
                       line.find(":::::") == std::string::npos && line.find("#*#*#") == std::string::npos &&
                       line.find("*****") == std::string::npos,
                   "a body line the library cannot hold");
    }
}

// The rule on the input's own lines: the mark goes inside the row or right behind
// it, taking the place of a blank or of nothing.
void check_rule(const char* data, size_t size)
{
    char hint[160];
    for (size_t start = 0, stop; start < size; start = stop + 1) {
        const char* nl = (const char*)memchr(data + start, '\n', size - start);
        stop = nl ? (size_t)(nl - data) : size;
        int len = (int)(stop - start), replaces = 0, column = chord_mark_column(data + start, len, &replaces);
        fuzz_check(column == -1 || (column >= 0 && column <= len && (!replaces || data[start + column] == ' ')),
                   "the mark placed outside the row or over a character");
    }
    chord_row_hint(data, (int)size, hint, sizeof hint);
    fuzz_check(memchr(hint, 0, sizeof hint), "an unterminated hint");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size - 1 > IMPORT_FILE_MAX)
        return 0;
    memcpy(bytes, data + 1, size - 1);
    import_batch_reset(&batch);
    FileVerdict verdict = convert_song_file(bytes, (int)(size - 1), "fuzz input.cho", (ImportFormat)(data[0] % 3), 7, &batch,
                                            &work);
    fuzz_check((verdict == FILE_READ) == (batch.song_count > 0), "a verdict that does not match the songs");
    for (int i = 0; i < batch.song_count; i++) {
        fuzz_check(batch.source[i] == 7, "a song without its file");
        check_song(batch.songs[i]);
    }
    check_rule((const char*)data + 1, size - 1);
    return 0;
}
