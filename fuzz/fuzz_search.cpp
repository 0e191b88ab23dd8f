// Fuzz target of Find: arbitrary words over an arbitrary library, the number of
// songs found checked against a small model that compares letter by letter
// through its own table of the Windows-1252 letters.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "store/book_format.h"
#include "shell/shared_state.h"
#include "store/index.h"
#include "store/search.h"
#include "tests/support/fuzz_work_dir.h"

namespace {

// Windows-1252 letters written out one by one: a letter compares as its plain
// lower-case form; 0 for a byte that is no letter.
unsigned char plain_letter(unsigned char c)
{
    if (c == 0)
        return 0;
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return c;
    if (c >= 'A' && c <= 'Z')
        return (unsigned char)(c + 32);
    const char* const groups[] = {
        "a\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5", "c\xC7\xE7", "e\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB",
        "i\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", "n\xD1\xF1", "o\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8",
        "u\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC", "y\xDD\xFD\xFF\x9F", "s\x8A\x9A", "z\x8E\x9E",
        "\xE6\xC6\xE6", "\x9C\x8C\x9C", "\xF0\xD0\xF0", "\xFE\xDE\xFE", "\xDF\xDF",
        "\x83\x83", "\xAA\xAA", "\xB5\xB5", "\xBA\xBA",
    };
    for (const char* group : groups) {
        if (strchr(group + 1, (char)c))
            return (unsigned char)group[0];
    }
    return 0;
}

struct Words {
    char text[SEARCH_TEXT_SIZE][SEARCH_TEXT_SIZE];
    int count;
};

bool is_apostrophe(char c)
{
    return c == '\'' || c == '\x92';
}

// Apostrophes join the letters around them: they are taken out of a text.
void drop_apostrophes(char* text)
{
    char* out = text;
    for (; *text; text++)
        if (!is_apostrophe(*text))
            *out++ = *text;
    *out = 0;
}

void split(const char* typed, Words* words)
{
    words->count = 0;
    int n = 0;
    for (const unsigned char* p = (const unsigned char*)typed;; p++) {
        if (*p && is_apostrophe((char)*p))
            continue;
        unsigned char c = *p ? plain_letter(*p) : 0;
        if (c) {
            words->text[words->count][n++] = (char)c;
        } else if (n > 0) {
            words->text[words->count++][n] = 0;
            n = 0;
        }
        if (!*p)
            break;
    }
}

bool holds(const char* line, const char* word)
{
    size_t len = strlen(word);
    for (size_t at = 0; line[at]; at++) {
        size_t j = 0;
        while (j < len && line[at + j] && plain_letter((unsigned char)line[at + j]) == (unsigned char)word[j])
            j++;
        if (j == len)
            return true;
    }
    return false;
}

Words words;
bool found_word[SEARCH_TEXT_SIZE];
char record[RECORD_MAX + 1], title[RECORD_MAX + 1];
SearchWork work;
FoundSongs found_songs;

void mark(char* line)
{
    drop_apostrophes(line);
    for (int i = 0; i < words.count; i++)
        found_word[i] = found_word[i] || holds(line, words.text[i]);
}

bool all_found()
{
    for (int i = 0; i < words.count; i++) {
        if (!found_word[i])
            return false;
    }
    return true;
}

// The songs holding every word, read as the viewer and the title list read them.
int count_songs()
{
    SongFile file;
    fuzz_check(song_file_open(&file, LIBRARY_FILE) == 0, "the library cannot be read back");
    int count = 0;
    bool in_song = false;
    while (read_record(&file, record) == 0) {
        if (is_end_of_book(record))
            break;
        if (is_title_line(record)) {
            count += in_song && all_found();
            copy_bounded(title, sizeof title, extract_title(record, SKIP_ALL_BLANKS));
            in_song = title_listed(title);
            memset(found_word, 0, sizeof found_word);
            mark(title);
        } else if (in_song) {
            strip_markup_text(record);
            if (!is_chord_row(record, ROW_COLUMNS))
                mark(record);
        }
    }
    count += in_song && all_found();
    song_file_close(&file);
    return count;
}

// The input's first byte gives the length of the typed words (modulo 64), the
// bytes after them are the whole library.
void fuzz_one(const uint8_t* data, size_t size)
{
    if (size == 0)
        return;
    size_t typed_len = data[0] % 64 < size - 1 ? data[0] % 64 : size - 1;
    std::string typed((const char*)data + 1, typed_len);
    write_file(LIBRARY_FILE, std::string((const char*)data + 1 + typed_len, size - 1 - typed_len));
    typed = typed.c_str();
    reset_shared_state();
    split(typed.c_str(), &words);
    for (int show_hidden = 0; show_hidden <= 1; show_hidden++) {
        state.show_hidden = show_hidden;
        int found = find_songs_by_words(&work, &found_songs, LIBRARY_FILE, typed.c_str());
        if (words.count == 0) {
            fuzz_check(found == -1 && strcmp(found_songs.status, " ") == 0, "no word did not ask for every title");
            continue;
        }
        fuzz_check(found == count_songs() && found <= found_songs.entries, "songs found differ from the model");
        std::string status = found ? std::to_string(found) + " found" : "Song Not Found";
        fuzz_check(status == found_songs.status, "the status does not tell what was found");
    }
}

}  // namespace

FUZZ_IN_WORK_DIR("/tmp/cantoria-fuzz-search-XXXXXX")
