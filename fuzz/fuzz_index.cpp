// Fuzz target of the title index, the lookup, the loader and the markup filter:
// arbitrary library bytes.
//
// The input is the whole of "songbook.cnr". Its first byte also picks the title
// to look up among the listed entries; with none listed, the title is the
// input's first bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "shell/shared_state.h"
#include "store/index.h"
#include "tests/support/fake_ui.h"
#include "tests/support/fuzz_work_dir.h"

namespace {

void write_library(const uint8_t* data, size_t size)
{
    FILE* f = fopen(LIBRARY_FILE, "wb");
    if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0)
        abort();
}

void check_terminated(const char* text, size_t size)
{
    if (!memchr(text, 0, size))
        abort();
}

int fill(int show_hidden)
{
    fake_ui_reset();
    state.show_hidden = show_hidden;
    fill_title_list(nullptr, LIBRARY_FILE);
    if (fake_ui.title_resets != 1 || fake_ui.title_done != 1)
        abort();
    for (int i = 0; i < fake_ui.title_count; i++) {
        if (strlen(fake_title(i)) > RECORD_MAX)
            abort();
    }
    return fake_ui.title_count;
}

void choose_title(const uint8_t* data, size_t size)
{
    if (fake_ui.title_count > 0) {
        copy_bounded(state.current_title, TITLE_SIZE, fake_title(data[0] % fake_ui.title_count));
        return;
    }
    size_t n = size < TITLE_SIZE - 1 ? size : TITLE_SIZE - 1;
    memcpy(state.current_title, data, n);
    state.current_title[n] = 0;
}

int look_up()
{
    SongFile file;
    if (song_file_open(&file, LIBRARY_FILE) != 0)
        abort();
    int found = find_song(&file);
    song_file_close(&file);
    if (found != 0 && found != -1)
        abort();
    if (strcmp(fake_ui.status, found == 0 ? " " : "Song Not Found") != 0)
        abort();
    check_terminated(state.current_title, TITLE_SIZE);
    return found;
}

void check_loaded(int found)
{
    if (state.line_count < 1 || state.line_count > LINE_ROWS)
        abort();
    if (found != 0 && state.line_count != 1)
        abort();
    if (strcmp(state.raw_lines[0], " ") != 0)
        abort();
    for (int row = 0; row < state.line_count; row++) {
        const char* raw = state.raw_lines[row];
        check_terminated(raw, LINE_WIDTH);
        if (strchr(raw, '&') || strcmp(raw, state.display_lines[row]) != 0)
            abort();
    }
}

void check_strip_markup(const uint8_t* data, size_t size)
{
    size_t n = size < RECORD_MAX ? size : RECORD_MAX;
    memcpy(state.line_buf, data, n);
    state.line_buf[n] = 0;
    size_t before = strlen(state.line_buf);
    strip_markup();
    if (strlen(state.line_buf) > before || strchr(state.line_buf, '&'))
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static const char* const files[] = {LIBRARY_FILE, nullptr};
    fuzz_work_dir_init(argc, argv, "/tmp/cantoria-fuzz-index-XXXXXX", files);
    return 0;
}

static void run_input(const uint8_t* data, size_t size)
{
    reset_shared_state();
    write_library(data, size);
    int listed = fill(0);
    if (fill(1) < listed)
        abort();
    if (size == 0)
        return;

    choose_title(data, size);
    char title[TITLE_SIZE];
    copy_bounded(title, sizeof title, state.current_title);
    fake_ui_reset();
    int found = look_up();

    // the loader looks the same title up again and must agree
    copy_bounded(state.current_title, TITLE_SIZE, title);
    fake_ui_reset();
    load_song();
    if (strcmp(fake_ui.status, found == 0 ? " " : "Song Not Found") != 0)
        abort();
    check_loaded(found);

    check_strip_markup(data, size);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    enter_work_dir();
    run_input(data, size);
    leave_work_dir();
    return 0;
}
