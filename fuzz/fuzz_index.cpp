// Fuzz target of the title index, the lookup, the loader and the markup filter:
// the input is the whole of "songbook.cnr"; its first byte also picks the title
// looked up among those listed (with none listed, the input's first bytes).
#include <cstring>

#include "shell/shared_state.h"
#include "store/index.h"
#include "tests/support/fuzz_work_dir.h"

namespace {

TitleList list;

// The entries listed; *picked: the one `pick` names, counted round the list.
int listed(int show_hidden, int pick, std::string* picked)
{
    state.show_hidden = show_hidden;
    read_title_list(LIBRARY_FILE, &list);
    for (int i = 0, at = 0; i < list.count; i++, at += (int)strlen(list.text + at) + 1) {
        fuzz_check(strlen(list.text + at) <= RECORD_MAX, "a title longer than a record");
        if (i == pick % list.count)
            *picked = list.text + at;
    }
    return list.count;
}

void fuzz_one(const uint8_t* data, size_t size)
{
    reset_shared_state();
    std::string bytes((const char*)data, size);
    write_file(LIBRARY_FILE, bytes);
    std::string title = bytes;   // with no title listed, the input's first bytes
    int shown = listed(0, 0, &title);
    fuzz_check(listed(1, size ? data[0] : 0, &title) >= shown, "showing hidden titles lists fewer");
    if (size == 0)
        return;
    copy_bounded(state.current_title, TITLE_SIZE, title.c_str());
    SongFile file;
    fuzz_check(song_file_open(&file, LIBRARY_FILE) == 0, "the library does not open");
    int found = find_song(&file);
    song_file_close(&file);

    // the loader looks the same title up again and must agree
    copy_bounded(state.current_title, TITLE_SIZE, title.c_str());
    fuzz_check(load_song() == found, "lookup and loader disagree");
    fuzz_check(state.line_count >= 1 && state.line_count <= LINE_ROWS && (found == 0 || state.line_count == 1),
               "line count out of range");
    fuzz_check(strcmp(state.raw_lines[0], " ") == 0, "row 0 is not one blank");
    for (int row = 0; row < state.line_count; row++) {
        const char* raw = state.raw_lines[row];
        fuzz_check(memchr(raw, 0, LINE_WIDTH) && !strchr(raw, '&') && strcmp(raw, state.display_lines[row]) == 0,
                   "a loaded row is unterminated, keeps an '&' or is not shown as loaded");
    }
    char line[RECORD_MAX + 1];
    copy_bounded(line, RECORD_MAX + 1, bytes.c_str());
    size_t before = strlen(line);
    strip_markup_text(line);
    fuzz_check(strlen(line) <= before && !strchr(line, '&'), "markup filter grew or kept '&'");
}

}  // namespace

FUZZ_IN_WORK_DIR("/tmp/cantoria-fuzz-index-XXXXXX")
