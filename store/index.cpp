// Song index and lookup: the title list, finding a song, loading it, the markup filter.
#include "store/index.h"

#include <cstring>

#include "shell/shared_state.h"
#include "shell/ui.h"

enum {
    INDEX_RECORD_SIZE = 1000    // one record of RECORD_MAX characters and its zero
};

static_assert(INDEX_RECORD_SIZE >= RECORD_MAX + 1, "read_record needs RECORD_MAX + 1 bytes");

// The marks a record is searched for. Most lines hold neither a '*' nor a ':',
// and both "#*#*#" and "*****" hold a '*', so a scan for those two bytes
// settles nearly every record before any full search.
static const char END_MARK[] = "#*#*#";
static const char TITLE_MARK[] = ":::::";
static const char HEADING_MARK[] = "*****";

// star: the record's first '*', or null.
static bool has_end_mark(const char* record, const char* star)
{
    return star && strstr(record, END_MARK);
}

bool is_end_of_book(const char* record)
{
    return has_end_mark(record, strchr(record, '*'));
}

bool is_title_line(const char* record)
{
    const char* colon = strchr(record, ':');
    return colon && strstr(colon, TITLE_MARK);
}

char* heading_entry(char* record)
{
    char* p = strstr(record, HEADING_MARK);
    if (!p)
        return nullptr;
    while (*p == '*')
        p++;
    char* end = strchr(p, '*');
    if (end)
        *end = 0;
    return p;
}

bool title_listed(const char* title)
{
    return state.show_hidden || title[0] != '/';
}

void fill_title_list(UiWindow dialog, const char* file_name)
{
    char record[INDEX_RECORD_SIZE];
    SongFile file;
    ui_title_list_reset(dialog);
    if (song_file_open(&file, file_name) != 0) {
        ui_title_list_done(dialog);
        return;
    }
    while (read_record(&file, record) == 0) {
        const char* star = strchr(record, '*');
        if (has_end_mark(record, star))
            break;
        if (is_title_line(record)) {
            // extract_title cuts the record at the title's end, so a heading
            // behind the title is not seen below; one before the colons is
            char* title = extract_title(record, SKIP_ALL_BLANKS);
            if (title_listed(title))
                ui_title_list_add(dialog, title);
        }
        char* heading = star ? heading_entry(record) : nullptr;
        if (heading)
            ui_title_list_add(dialog, heading);
    }
    song_file_close(&file);
    ui_title_list_done(dialog);
}

// Titles are compared in capitals without trailing blanks; the lookup leaves
// current_title that way for the viewer, the printing and the editor's save.
static void normalise_current_title()
{
    upper_case(state.current_title);
    trim_trailing(state.current_title);
}

int find_song(SongFile* file)
{
    normalise_current_title();
    while (read_record(file, state.line_buf) == 0) {
        if (is_end_of_book(state.line_buf))
            break;
        if (!is_title_line(state.line_buf))
            continue;
        char* title = extract_title(state.line_buf, SKIP_ALL_BLANKS);
        trim_trailing(title);
        upper_case(title);
        if (strcmp(title, state.current_title) == 0) {
            ui_set_status(" ");
            return 0;
        }
    }
    ui_set_status("Song Not Found");
    return -1;
}

// Reads the song body behind the title line into raw_lines, up to the next title
// line or the end-of-book marker; rows past the 200th are not kept.
static void read_song_body(SongFile* file)
{
    while (state.line_count < LINE_ROWS && read_record(file, state.line_buf) == 0) {
        if (is_end_of_book(state.line_buf) || is_title_line(state.line_buf))
            break;
        strip_markup();
        copy_bounded(state.raw_lines[state.line_count], LINE_WIDTH, state.line_buf);
        state.line_count++;
    }
}

void load_song()
{
    copy_bounded(state.raw_lines[0], LINE_WIDTH, " ");
    state.line_count = 1;

    SongFile file;
    if (song_file_open(&file, LIBRARY_FILE) == 0) {
        if (find_song(&file) == 0)
            read_song_body(&file);
        song_file_close(&file);
    } else {
        // a library that cannot be opened holds no song at all
        normalise_current_title();
        ui_set_status("Song Not Found");
    }

    for (int row = 0; row < state.line_count; row++)
        copy_bounded(state.display_lines[row], LINE_WIDTH, state.raw_lines[row]);
}

// Control words that text pasted from a rich-text document leaves in a line.
// "\pard" must go before "\par" is searched and "\nowidctlpar" before "\now".
static const char* const markup_words[] = {
    "\\pard", "\\par", "\\nowidctlpar", "\\f0", "\\now", "\\tab", "\\page",
};

void strip_markup()
{
    strip_markup_line(state.line_buf);
}

void strip_markup_line(char* line)
{
    if (strchr(line, '\\')) {
        for (const char* word : markup_words) {
            char* p = strstr(line, word);
            if (p)
                memset(p, '&', strlen(word));
        }
    }
    // every '&' goes, also one that belonged to the text
    char* out = strchr(line, '&');
    if (!out)
        return;
    for (char* in = out; *in; in++) {
        if (*in != '&')
            *out++ = *in;
    }
    *out = 0;
}

void clear_display_lines()
{
    for (int row = 0; row < LINE_ROWS; row++)
        state.display_lines[row][0] = 0;
}
