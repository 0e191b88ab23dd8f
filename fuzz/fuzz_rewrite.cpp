// Fuzz target of the rewrite: any library, any editor title and text; the new library
// must be the old one with the edited song's bytes, and nothing else, replaced.
//
// Input: one byte of choices, then the library, the title box and the text box,
// separated by the first two bytes 0xFF. Choices: bit 0 new-song mode; bits 1-2
// the editor's hold on the library (0, 3: none; 1: the chosen song's title record,
// as loading sets it; 2: one byte off, as after a change by another program);
// bits 3-7 which title of the library the editor was opened on (past the last:
// the title box's text).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "shell/shared_state.h"
#include "store/index.h"
#include "store/rewrite.h"
#include "tests/support/fake_ui.h"

namespace {

const size_t MAX_TEXT = 8000;   // well inside edit_buf: no text box line is cut
const char* const END_MARK = "#*#*#";
const char* const TITLE_MARK = ":::::";

// A record as the readers see it, with the bytes [start, end) it was read from.
struct Record {
    size_t start;
    size_t end;
    std::string text;   // up to its first zero byte: every reader stops there
};

// The record reader written out the plain way, one byte at a time.
std::vector<Record> read_records(const std::string& lib, size_t* stop)
{
    std::vector<Record> records;
    size_t i = 0;
    for (;;) {
        size_t start = i;
        std::string rec;
        for (;;) {
            if (i >= lib.size()) {
                *stop = lib.size();
                return records;
            }
            unsigned char c = (unsigned char)lib[i++];
            if (c == 0x1A) {
                *stop = i - 1;
                return records;
            }
            if (c == '\r')
                continue;
            if (c == '\n') {
                if (!rec.empty() && rec[0] == ';') {
                    start = i;
                    rec.clear();
                    continue;
                }
                break;
            }
            rec += (char)c;
            if (rec.size() == RECORD_MAX)
                break;
        }
        records.push_back({start, i, std::string(rec.c_str())});
    }
}

bool has(const std::string& text, const char* mark)
{
    return text.find(mark) != std::string::npos;
}

// trim_trailing as it is described: position 0 is never examined, other bytes
// than blank, CR and LF are passed over, and a cut drops whatever follows.
std::string trimmed_upper(std::string t)
{
    for (int i = (int)t.size() - 1; i >= 1; i--) {
        signed char c = (signed char)t[i];
        if (c > 32)
            break;
        if (c == ' ' || c == '\r' || c == '\n')
            t.resize((size_t)i);
    }
    for (char& c : t)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 32);
    return t;
}

// The title of a title record as the lookup compares it.
std::string lookup_title(const std::string& rec)
{
    size_t p = rec.find(TITLE_MARK);
    while (p < rec.size() && rec[p] == ':')
        p++;
    while (p < rec.size() && rec[p] == ' ')
        p++;
    if (p >= rec.size())
        return "";
    size_t end = rec.find(':', p + 1);
    return trimmed_upper(rec.substr(p, end == std::string::npos ? std::string::npos : end - p));
}

struct Song {
    size_t start;
    size_t end;
    std::string title;
};

// The songs before the end-of-book marker, and where a new song goes.
std::vector<Song> read_songs(const std::string& lib, size_t* insert_at)
{
    size_t stop = 0;
    std::vector<Record> records = read_records(lib, &stop);
    std::vector<Song> songs;
    *insert_at = std::string::npos;
    for (const Record& r : records) {
        if (has(r.text, END_MARK)) {
            *insert_at = r.start;
            break;
        }
        if (has(r.text, TITLE_MARK))
            songs.push_back({r.start, r.end, lookup_title(r.text)});
        else if (!songs.empty())
            songs.back().end = r.end;
    }
    if (*insert_at == std::string::npos) {
        size_t lf = lib.rfind('\n', stop == 0 ? std::string::npos : stop - 1);
        *insert_at = stop == 0 || lf == std::string::npos ? 0 : lf + 1;
    }
    return songs;
}

// The bytes the rewrite must write for the editor's boxes.
std::string song_bytes(const std::string& box_title, const std::string& box_text, std::string* title_out)
{
    std::string title;
    for (char c : std::string(box_title.c_str()).substr(0, TITLE_SIZE - 1))
        if (c != '\r' && c != '\n' && c != 0x1A)
            title += c;
    for (char& c : title)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 32);
    while (!title.empty() && title.back() == ' ')
        title.pop_back();
    if (title.empty())
        title = "NONAME";
    *title_out = title;
    std::string out = "::::: " + title + " ::::: KEY=xx\r\r\n \r\n";
    std::string text = box_text.c_str();
    size_t from = 0;
    for (;;) {
        size_t crlf = text.find("\r\n", from);
        for (char c : text.substr(from, crlf == std::string::npos ? std::string::npos : crlf - from))
            if (c != 0x1A)
                out += c;
        out += " \r\n";
        if (crlf == std::string::npos)
            break;
        from = crlf + 2;
    }
    return out;
}

struct Expected {
    std::string library;
    size_t song_at;
    size_t song_len;
    std::string current_title;
};

// The new library: the old one with the bytes of the song the editor holds (or
// an empty range where a new song goes) replaced by the editor's song.
Expected expected_library(const std::string& lib, const std::string& key, long pos, bool new_song,
                          const std::string& song, const std::string& title)
{
    size_t insert_at = 0;
    std::vector<Song> songs = read_songs(lib, &insert_at);
    const Song* at_pos = nullptr;
    const Song* first = nullptr;
    int matches = 0;
    for (const Song& s : songs) {
        if (s.title != key)
            continue;
        matches++;
        if (!first)
            first = &s;
        if (pos >= 0 && s.start == (size_t)pos)
            at_pos = &s;
    }
    size_t a = insert_at, b = insert_at;
    const Song* chosen = at_pos;
    if (!chosen && first && (pos < 0 ? !new_song : matches == 1))
        chosen = first;
    if (chosen) {
        a = chosen->start;
        b = chosen->end;
    }
    Expected e;
    e.library = lib.substr(0, a) + song + lib.substr(b);
    e.song_at = a;
    e.song_len = song.size();
    e.current_title = lookup_title("::::: " + title + " ::::: KEY=xx");
    return e;
}

void write_bytes(const char* name, const std::string& bytes)
{
    FILE* f = fopen(name, "wb");
    if (!f)
        abort();
    if (fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        abort();
    fclose(f);
}

std::string read_bytes(const char* name)
{
    std::string bytes;
    FILE* f = fopen(name, "rb");
    if (!f)
        return bytes;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    fclose(f);
    return bytes;
}

char home[4096];
char folder[] = "/dev/shm/fuzz_rewrite-XXXXXX";

// A failed check leaves the folder of the files first, so that libFuzzer writes
// the input where it was started.
void check(bool ok, const char* what)
{
    if (!ok) {
        fprintf(stderr, "fuzz_rewrite: %s\n", what);
        if (chdir(home) != 0)
            fprintf(stderr, "fuzz_rewrite: the input is left in %s\n", folder);
        abort();
    }
}

// Saves and checks the outcome against the model; returns the new library.
std::string save_and_check(const std::string& lib, const std::string& box_title, const std::string& box_text)
{
    std::string title;
    std::string song = song_bytes(box_title, box_text, &title);
    std::string key = trimmed_upper(std::string(state.current_title));
    Expected e = expected_library(lib, key, state.edit_song_pos, state.new_song_mode != 0, song, title);

    write_bytes(LIBRARY_FILE, lib);
    check(rewrite_songbook(nullptr) == REWRITE_OK, "save failed");
    std::string now = read_bytes(LIBRARY_FILE);
    check(now == e.library, "new library is not the old one with the song replaced");
    check(read_bytes(BACKUP_FILE) == lib, "oldbook.cnr is not the old library");
    check(access(TEMP_FILE, F_OK) != 0, "temp.cnr left behind");
    check(state.edit_song_pos == (long)e.song_at, "edit_song_pos is not the written title line");
    check(e.current_title == state.current_title, "current_title is not the written title");
    return now;
}

void remove_folder()
{
    if (chdir(folder) == 0) {
        remove(LIBRARY_FILE);
        remove(BACKUP_FILE);
        remove(TEMP_FILE);
    }
    if (chdir(home) == 0)
        rmdir(folder);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // the files live in a folder in memory: every input writes and flushes three
    if (!getcwd(home, sizeof home) || !mkdtemp(folder))
        abort();
    atexit(remove_folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || chdir(folder) != 0)
        return 0;
    uint8_t choices = data[0];
    std::string rest((const char*)data + 1, size - 1);
    size_t sep1 = rest.find('\xFF');
    size_t sep2 = sep1 == std::string::npos ? std::string::npos : rest.find('\xFF', sep1 + 1);
    std::string lib = rest.substr(0, sep1);
    std::string box_title = sep1 == std::string::npos ? "" : rest.substr(sep1 + 1, sep2 - sep1 - 1);
    std::string box_text = sep2 == std::string::npos ? "" : rest.substr(sep2 + 1, MAX_TEXT);

    reset_shared_state();
    fake_ui_reset();
    state.new_song_mode = choices & 1;
    size_t insert_at = 0;
    std::vector<Song> songs = read_songs(lib, &insert_at);
    size_t pick = (size_t)(choices >> 3);
    std::string opened = pick < songs.size() ? songs[pick].title : box_title.c_str();
    copy_bounded(state.current_title, TITLE_SIZE, state.new_song_mode ? "songnew" : opened.c_str());
    int hold = (choices >> 1) & 3;
    if (pick < songs.size() && (hold == 1 || hold == 2))
        state.edit_song_pos = (long)songs[pick].start + (hold == 2);
    copy_bounded(fake_ui.editor_title, sizeof fake_ui.editor_title, box_title.c_str());
    copy_bounded(fake_ui.editor_text, sizeof fake_ui.editor_text, box_text.c_str());

    std::string first = save_and_check(lib, box_title, box_text);

    // a second save from the same opening replaces the song the first one wrote,
    // unless the song's own lines read back as more than one song
    std::string song_title;
    std::string song = song_bytes(box_title, box_text, &song_title);
    std::vector<Song> after = read_songs(first, &insert_at);
    bool one_song = false;
    for (const Song& s : after)
        one_song |= s.start == (size_t)state.edit_song_pos && s.end == s.start + song.size();
    std::string second = save_and_check(first, box_title, box_text);
    if (one_song)
        check(second == first, "second save did not replace the first");
    if (chdir(home) != 0)
        abort();
    return 0;
}
