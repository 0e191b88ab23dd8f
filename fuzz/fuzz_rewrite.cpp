// Fuzz target of the editor's save: any library, any song opened, any change made
// to the file meanwhile, any title and text. A save either is refused and changes
// nothing, or replaces exactly the bytes of the song the editor opened (or what
// its own last save wrote) with the editor's song, or adds it: never anything else.
//
// Input: one byte of choices, then the library, the title box and the text box,
// separated by the first two bytes 0xFF. Choices: bits 0-4 which song the editor
// opens (past the last: a title not in the library, or New Song when bit 5 is
// set); bits 6-7 a change to the file between the opening and the save (none, a
// byte changed, a byte inserted, at a place taken from the text's length).
#include <algorithm>
#include <cstring>
#include <string>

#include "store/edit_load.h"
#include "store/index.h"
#include "store/rewrite.h"
#include "tests/support/fuzz_work_dir.h"

namespace {

const size_t MAX_TEXT = 8000;   // well inside edit_buf: no text box line is cut
RewriteWork work;
char loaded[EDIT_BUF_SIZE];
std::string box_title, box_text;
RewriteResult last_result;

// The title line and body the save writes for the boxes, and whether the save
// must refuse them (a mark that would change the library's structure).
std::string written_title(const std::string& box_title)
{
    std::string title;
    for (char c : std::string(box_title.c_str()))
        if (c != '\r' && c != '\n' && c != 0x1A && title.size() < TITLE_SIZE - 1)
            title += c;
    upper_case(title.data());
    while (!title.empty() && title.back() == ' ')
        title.pop_back();
    return title.empty() ? "NONAME" : title;
}

// A save that went in as a new song under a taken title numbers it "TITLE (n)",
// as the session's title (read back without leading blanks) tells.
std::string numbered_title(std::string title, const std::string& key)
{
    std::string plain = title.substr(std::min(title.find_first_not_of(' '), title.size()));
    plain.resize(strlen((trim_trailing(plain.data()), plain.c_str())));   // as the lookup trims a title
    size_t open = key.rfind(" (");
    if (key == plain || open == std::string::npos)
        return title;
    std::string suffix = key.substr(open);
    title = title.substr(0, TITLE_SIZE - 1 - suffix.size());
    title.resize(strlen((trim_trailing(title.data()), title.c_str())));   // as the lookup trims a title
    return title + suffix;
}

std::string song_bytes(const std::string& title, const std::string& box_text, bool* refused)
{
    *refused = title.find("#*#*#") != std::string::npos || title.find(':') != std::string::npos;
    std::string out = "::::: " + title + " ::::: KEY=xx\r\r\n \r\n";
    std::string text = box_text.c_str();
    for (size_t from = 0, crlf = 0; crlf != std::string::npos; from = crlf + 2) {
        std::string line = text.substr(from, (crlf = text.find("\r\n", from)) - from);
        // as the readers see it: CRs dropped, a record at each LF; a comment they
        // skip whole may hold a mark
        std::string seen;
        for (char c : line + "\n")
            if (c == '\n') {
                bool comment = seen[0] == ';' && seen.size() + 1 < RECORD_MAX;
                *refused |= !comment && (seen.find(":::::") != std::string::npos || seen.find("#*#*#") != std::string::npos);
                seen.clear();
            } else if (c != '\r' && c != 0x1A) {
                seen += c;
            }
        for (char c : line)
            out += c != 0x1A ? std::string(1, c) : "";
        out += " \r\n";
    }
    return out;
}

// Saves and checks: refused and unchanged, or the old library with the bytes
// held (or nothing, for an added song) replaced by the song. Returns the library.
std::string save_and_check(const std::string& lib, const std::string& held, EditSession* session,
                           std::string song, bool refused)
{
    write_file(LIBRARY_FILE, lib);
    EditorText boxes{box_title.c_str(), box_text.c_str(), (int)strlen(box_text.c_str())};
    RewriteResult result = last_result = rewrite_songbook(session, &boxes, &work);
    std::string now = read_file(LIBRARY_FILE);
    fuzz_check(!file_exists(TEMP_FILE), "temp.cnr left behind");
    if (refused) {
        fuzz_check(result == REWRITE_REFUSED && now == lib, "a song with a structural mark was written");
        return now;
    }
    if (result == REWRITE_TITLE_TAKEN) {
        fuzz_check(now == lib, "a refused title changed the library");
        return now;
    }
    fuzz_check(result == REWRITE_OK || result == REWRITE_ADDED, "save failed");
    // a song that went in elsewhere may carry a numbered title "TITLE (n)"
    std::string title = written_title(box_title);
    song = song_bytes(result == REWRITE_ADDED ? numbered_title(title, session->title) : title, box_text, &refused);
    fuzz_check(read_file(BACKUP_FILE) == lib, "oldbook.cnr is not the old library");
    size_t at = (size_t)session->song_pos;
    fuzz_check(session->song_len == (long)song.size() && at <= lib.size() && now.size() >= at + song.size(),
          "the session does not hold the song written");
    fuzz_check(now.compare(0, at, lib, 0, at) == 0 && now.compare(at, song.size(), song) == 0,
          "the song is not written where the session says");
    size_t tail = now.size() - at - song.size();
    fuzz_check(tail <= lib.size() - at && now.compare(at + song.size(), tail, lib, lib.size() - tail, tail) == 0,
          "bytes behind the song changed");
    std::string removed = lib.substr(at, lib.size() - tail - at);
    fuzz_check(removed.empty() || (result == REWRITE_OK && removed == held), "a song the editor did not hold was replaced");
    return now;
}

void fuzz_one(const uint8_t* data, size_t size)
{
    if (size < 1)
        return;
    uint8_t choices = data[0];
    std::string rest((const char*)data + 1, size - 1), parts[3];
    for (int i = 0; i < 3; i++) {
        size_t sep = i < 2 ? rest.find('\xFF') : std::string::npos;
        parts[i] = rest.substr(0, sep);
        rest = sep == std::string::npos ? "" : rest.substr(sep + 1);
    }
    std::string lib = parts[0];
    box_title = parts[1];
    box_text = parts[2].substr(0, MAX_TEXT);
    reset_shared_state();
    write_file(LIBRARY_FILE, lib);
    // the editor opens on the n-th title record as the title list would show it
    int pick = choices & 31;
    std::string opened = (choices & 32) ? "songnew" : "NOT IN THE LIBRARY";
    size_t p = 0;
    for (int n = 0; (p = lib.find(":::::", p)) != std::string::npos; p++, n++)
        if (n == pick) {
            opened = lib.substr(p, lib.find_first_of("\r\n", p) - p);
            break;
        }
    char title[TITLE_SIZE];
    copy_bounded(title, TITLE_SIZE, opened.c_str());
    char* t = strstr(title, ":::::") ? extract_title(title, SKIP_ALL_BLANKS) : title;
    EditSession session;
    edit_session_start(&session, t, strcmp(t, "songnew") == 0);
    if (strcmp(t, "songnew") != 0)
        load_song_for_editing(&session, loaded, sizeof loaded, &work);
    std::string held = session.holds_song ? lib.substr((size_t)session.song_pos, (size_t)session.song_len) : "";

    // someone changes the file meanwhile
    int change = choices >> 6;
    if (change && !lib.empty()) {
        size_t at = box_text.size() % lib.size();
        if (change == 1)
            lib[at] = (char)(lib[at] ^ 0x20);
        else
            lib.insert(at, 1, (char)(box_title.size() & 0xFF));
    }
    bool refused;
    std::string song = song_bytes(written_title(box_title), box_text, &refused);
    std::string first = save_and_check(lib, held, &session, song, refused);
    // a second save from the same opening replaces what the first wrote
    if (!refused && session.holds_song) {
        session.shown_hash = 0;   // the boxes count as changed again
        song = song_bytes(written_title(box_title), box_text, &refused);
        std::string second = save_and_check(first, song, &session, song, false);
        // a new song put in front of lines the readers take for its own (the pieces
        // of an unterminated long line) is no longer as written: the second save
        // then adds its song beside it, losing nothing (save_and_check saw to that)
        fuzz_check(second == first || last_result == REWRITE_ADDED, "a second save did not replace the first");
    }
}

}  // namespace

FUZZ_IN_WORK_DIR("/dev/shm/fuzz_rewrite-XXXXXX")
