// The one process-wide record that every window and dialog of the program shares.
#pragma once

#include <cstdint>

// Window and instance handles are kept as opaque pointers so that the portable
// core can hold them without the Windows headers; the Win32 layer casts them.
typedef void* UiWindow;

enum {
    SONG_LIST_SIZE = 30,
    LINE_ROWS = 200,
    LINE_WIDTH = 100,      // 99 characters and the terminating zero
    TITLE_SIZE = 80,
    LINE_BUF_SIZE = 1500,
    EDIT_BUF_SIZE = 20000,
    NOTE_NAME_COUNT = 37,
    NOTE_NAME_SIZE = 5,
    PALETTE_SIZE = 15
};

struct SongListEntry {
    char title[TITLE_SIZE];
    int32_t key_change;
};

struct SharedState {
    // handles
    void* app_instance;
    UiWindow main_window;
    uintptr_t timer_id;
    UiWindow list_dialog;
    UiWindow editor_dialog;

    // counters and flags
    int32_t song_count;
    int32_t review_mode;
    int32_t list_pos;
    int32_t magnify_level;
    int32_t new_song_mode;
    int32_t show_hidden;
    int32_t line_count;
    int32_t scroll_line;
    int32_t half_steps;
    int32_t font_height;
    int32_t font_width;

    // text buffers
    char current_title[TITLE_SIZE];
    char raw_lines[LINE_ROWS][LINE_WIDTH];
    char display_lines[LINE_ROWS][LINE_WIDTH];
    char line_buf[LINE_BUF_SIZE];
    char edit_buf[EDIT_BUF_SIZE];
    char edit_title[TITLE_SIZE];
    char title_line_buf[LINE_BUF_SIZE];

    SongListEntry song_list[SONG_LIST_SIZE];
};

// The colours of the program: three parallel arrays of components 0..255.
struct Palette {
    int red[PALETTE_SIZE];
    int green[PALETTE_SIZE];
    int blue[PALETTE_SIZE];
};

extern SharedState state;
extern const Palette palette;
// Chromatic note names from A upwards, three octaves and one more A, so that an
// entry found in 12..24 plus any count from -12 to +13 stays inside the table.
extern const char note_names[NOTE_NAME_COUNT][NOTE_NAME_SIZE];

// Sets every field to its initial value (as at program start).
void reset_shared_state();
