// Fuzz target of Find: arbitrary words over an arbitrary library, with and without
// hidden titles, against a small model of what must hold whatever the library
// holds: the status tells the count; the same words in capitals, with an
// apostrophe behind each letter and other punctuation between them, find the very
// same entries; and fewer words find every entry that more words find.
#include <cstdint>
#include <cstring>
#include <string>

#include "shell/shared_state.h"
#include "store/index.h"
#include "store/search.h"
#include "tests/support/fuzz_work_dir.h"

namespace {

SearchWork work;
FoundSongs found_songs, other;

bool is_ascii_letter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The typed text changed only in what must not matter: a to z in capitals, an
// apostrophe behind every ASCII letter or digit, any other ASCII byte but the
// apostrophes a comma and a blank.
std::string disguised(const std::string& typed)
{
    std::string out;
    for (char c : typed) {
        if (is_ascii_letter(c))
            out += std::string(1, c >= 'a' && c <= 'z' ? (char)(c - 32) : c) + "'";
        else if ((unsigned char)c < 0x80 && c != '\'')
            out += ", ";
        else
            out += c;
    }
    return out;
}

std::string entries(const FoundSongs& found)
{
    return std::string(found.list, (size_t)found.used);
}

// Every entry of the smaller list is an entry of the larger one.
bool listed_in(const FoundSongs& smaller, const FoundSongs& larger)
{
    std::string zero(1, '\0'), all = zero + entries(larger);
    const char* entry = smaller.list;
    for (int i = 0; i < smaller.entries; i++, entry += strlen(entry) + 1)
        if (all.find(zero + entry + zero) == std::string::npos)
            return false;
    return true;
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
    for (int show_hidden = 0; show_hidden <= 1; show_hidden++) {
        state.show_hidden = show_hidden;
        int found = find_songs_by_words(&work, &found_songs, LIBRARY_FILE, typed.c_str());
        std::string status = found < 0 ? " " : found ? std::to_string(found) + " found" : "Song Not Found";
        fuzz_check(status == found_songs.status, "the status does not tell what was found");
        fuzz_check(found <= found_songs.entries, "fewer entries than songs found");
        int same = find_songs_by_words(&work, &other, LIBRARY_FILE, disguised(typed).c_str());
        fuzz_check(same == found && entries(other) == entries(found_songs),
                   "capitals, apostrophes or punctuation changed what was found");
        size_t last_blank = typed.rfind(' ');
        if (found < 0 || last_blank == std::string::npos)
            continue;
        int more = find_songs_by_words(&work, &other, LIBRARY_FILE, typed.substr(0, last_blank).c_str());
        fuzz_check(more < 0 || (more >= found && listed_in(found_songs, other)), "fewer words found fewer songs");
    }
}

}  // namespace

FUZZ_IN_WORK_DIR("/tmp/cantoria-fuzz-search-XXXXXX")
