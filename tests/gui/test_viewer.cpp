// The song viewer: title, key changes, running the list, paging, magnifying, and what is painted.
#include "tests/gui/harness.h"

#include <cstdio>
#include <functional>

#include "resources/resource.h"

// What the viewer paints, in client pixels.
enum { TEXT_X = 3, TEXT_Y = 20, SCAN_RIGHT = 840 };   // the buttons on the right start at x 855
static const COLORREF band_grey = RGB(207, 207, 207);
static const COLORREF navy = RGB(0, 0, 128);

// Ends the program whatever way the test leaves, so that no window of it covers the next test's.
struct AppGuard {
    App& app;
    ~AppGuard() { app_stop(app); }
};

static std::string song(const std::string& title, const std::vector<std::string>& lines)
{
    std::string text = "::::: " + title + " :::::\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// A chord row over a lyric row: the chords stand in columns 4, 12 and 20.
static const std::vector<std::string> key_song = {
    "    G       C       D< ",
    "    SING TO THE MORNING ",
};

// Rows 1..count of a song whose row k is k % 60 + 1 + extra characters long, so
// that the length painted on a pixel row tells which song row stands there.
static std::vector<std::string> numbered_rows(int count, int extra = 0)
{
    std::vector<std::string> rows;
    for (int k = 1; k <= count; k++)
        rows.push_back(std::string(k % 60 + 1 + extra, 'M'));
    return rows;
}

// Long rows (40 characters) and short ones (2) by turns.
static const std::vector<std::string> striped_song = {
    std::string(40, 'W'), "AB", std::string(40, 'W'), "AB", std::string(40, 'W'), "AB",
};

static bool wait_for(const std::function<bool()>& done, DWORD timeout_ms = 5000)
{
    DWORD start = GetTickCount();
    do {
        if (done())
            return true;
        sleep_ms(30);
    } while (GetTickCount() - start < timeout_ms);
    return false;
}

// The dialog's own colour, at the bottom right where no song line reaches.
static COLORREF background(const Capture& shot)
{
    return shot.at(shot.width - 4, shot.height - 4);
}

// One past the rightmost painted pixel of pixel row y in the text area; 0 when none.
static int painted_right(const Capture& shot, int y)
{
    COLORREF bg = background(shot);
    for (int x = SCAN_RIGHT - 1; x >= 0; x--)
        if (shot.at(x, y) != bg)
            return x + 1;
    return 0;
}

// The number of characters of the song row painted across pixel row y.
static int row_length(const Capture& shot, int y, int cell_width)
{
    int right = painted_right(shot, y);
    return right <= TEXT_X ? 0 : (right - TEXT_X + cell_width / 2) / cell_width;
}

// The first run of painted pixels down column x from y 24 (above it the Return
// button covers the text's left end): where it starts and how tall it is.
struct Run {
    int top;
    int height;
};
static Run painted_run(const Capture& shot, int x)
{
    COLORREF bg = background(shot);
    Run run = {-1, 0};
    for (int y = 24; y < shot.height; y++) {
        bool painted = shot.at(x, y) != bg;
        if (painted && run.top < 0)
            run.top = y;
        if (!painted && run.top >= 0)
            break;
        if (painted)
            run.height++;
    }
    return run;
}

static int count_colour(const Capture& shot, int x0, int y0, int x1, int y1, COLORREF colour)
{
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            n += shot.at(x, y) == colour;
    return n;
}

// The pixels of song row `row` at scroll position 0 and cell height h.
static std::vector<COLORREF> row_pixels(const Capture& shot, int row, int h)
{
    std::vector<COLORREF> pixels;
    for (int y = TEXT_Y + row * h; y < TEXT_Y + (row + 1) * h; y++)
        for (int x = 0; x < SCAN_RIGHT; x++)
            pixels.push_back(shot.at(x, y));
    return pixels;
}

static void keep_failure_shot(const Capture& shot, const char* name)
{
    static int count = 0;
    char path[MAX_PATH];
    snprintf(path, sizeof path, "Z:\\tmp\\cantoria-viewer-%lu-%s-%d.bmp", GetCurrentProcessId(), name, ++count);
    if (save_capture_bmp(shot, path))
        printf("    (screen saved as %s)\n", path);
}

static HWND wait_viewer(App& app)
{
    HWND viewer = wait_dialog_with_child(app.pid, IDC_VIEWER_MAGNIFY_UP);
    if (viewer)
        wait_for([&] { return item_text(viewer, IDC_VIEWER_TITLE) != "title"; });
    return viewer;
}

static void close_viewer(HWND viewer)
{
    click(viewer, IDC_VIEWER_RETURN);
    wait_window_gone(viewer);
}

static void press_key(HWND viewer, int id, const std::string& want_box)
{
    click(viewer, id);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_STEPS, want_box), want_box);
}

static void post_scroll(HWND viewer, int request, int position = 0)
{
    PostMessageA(viewer, WM_VSCROLL, MAKEWPARAM(request, position), 0);
}

// The song row painted at the top of the text area (y 20), told by its length.
static int top_row_length(HWND viewer)
{
    return row_length(capture_settled(viewer), TEXT_Y + 7, 11);
}

static bool wait_top_row_length(HWND viewer, int want)
{
    if (wait_for([&] { return top_row_length(viewer) == want; }))
        return true;
    printf("    top row of length %d, expected %d\n", top_row_length(viewer), want);
    keep_failure_shot(capture_settled(viewer), "top-row");
    return false;
}

GUI_TEST(viewer, review_shows_the_title_in_capitals_and_paints_navy_on_grey)
{
    std::string library = "; a library of one song\r\n" + song("Key Song", key_song);
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND viewer = review_song(app, home, "key song   ");
    REQUIRE(viewer);
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_TITLE), "KEY SONG");
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_STEPS), "0");
    CHECK_EQ_STR(item_text(home, IDC_LIST_STATUS), " ");
    Capture shot = capture_settled(viewer);
    REQUIRE(!shot.empty());
    // row 0 is the single blank: one grey cell at y 20; the chord row follows at 20 + 14
    Run chord_column = painted_run(shot, TEXT_X + 4 * 11 + 5);
    CHECK_EQ_INT(chord_column.top, TEXT_Y + 14);
    CHECK_EQ_INT(chord_column.height, 2 * 14);
    CHECK_EQ_INT(painted_right(shot, 27), TEXT_X + 11);
    // both rows are as long as their text: 23 and 24 cells of 11 pixels
    CHECK_EQ_INT(painted_right(shot, TEXT_Y + 14 + 7), TEXT_X + 23 * 11);
    CHECK_EQ_INT(painted_right(shot, TEXT_Y + 28 + 7), TEXT_X + 24 * 11);
    CHECK_EQ_INT(painted_right(shot, TEXT_Y + 42 + 7), 0);
    // navy letters on light grey bands
    CHECK(shot.at(TEXT_X + 1, TEXT_Y + 14 + 1) == band_grey);
    CHECK(count_colour(shot, 0, TEXT_Y + 14, SCAN_RIGHT, TEXT_Y + 28, navy) > 20);
    // fixed pitch: the chord row's letters stand only in the cells of columns 4, 12 and
    // 20, the very cells of the syllables S(ING), T(HE) and (MORN)I(NG) beneath them
    for (int column = 0; column < 24; column++) {
        int x0 = TEXT_X + column * 11;
        int chord = count_colour(shot, x0, TEXT_Y + 14, x0 + 11, TEXT_Y + 28, navy);
        int lyric = count_colour(shot, x0, TEXT_Y + 28, x0 + 11, TEXT_Y + 42, navy);
        bool chord_column_here = column == 4 || column == 12 || column == 20;
        CHECK_EQ_INT(chord > 0, chord_column_here);
        if (chord_column_here)
            CHECK(lyric > 0);
        CHECK_EQ_INT(lyric > 0, key_song[1][column] != ' ');
    }
    close_viewer(viewer);
}

GUI_TEST(viewer, key_buttons_step_half_steps_and_wrap_to_zero)
{
    std::string library = song("Key Song", key_song);
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND viewer = review_song(app, home, "KEY SONG");
    REQUIRE(viewer);
    std::vector<COLORREF> at_zero = row_pixels(capture_settled(viewer), 1, 14);
    for (int i = 1; i <= 13; i++)
        press_key(viewer, IDC_VIEWER_NEXT_KEY, std::to_string(i % 13));
    for (int i = 1; i <= 12; i++)
        press_key(viewer, IDC_VIEWER_PREV_KEY, std::to_string(i == 12 ? 0 : -i));
    // back at 0 the chord row is painted as at the opening; two steps up it is not
    CHECK(row_pixels(capture_settled(viewer), 1, 14) == at_zero);
    press_key(viewer, IDC_VIEWER_NEXT_KEY, "1");
    press_key(viewer, IDC_VIEWER_NEXT_KEY, "2");
    Capture up_two = capture_settled(viewer);
    CHECK(row_pixels(up_two, 1, 14) != at_zero);
    // G C D up two is A D E: the same cells, other letters; the lyric row is unchanged
    CHECK_EQ_INT(painted_right(up_two, TEXT_Y + 14 + 7), TEXT_X + 23 * 11);
    // review mode keeps the key nowhere: the next opening starts at 0
    close_viewer(viewer);
    viewer = review_song(app, home, "KEY SONG");
    REQUIRE(viewer);
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_STEPS), "0");
    CHECK(row_pixels(capture_settled(viewer), 1, 14) == at_zero);
    close_viewer(viewer);
}

GUI_TEST(viewer, review_song_steps_change_nothing)
{
    std::string library = song("Key Song", key_song) + song("Other Song", numbered_rows(3));
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    // a song list stands ready, but Review does not run it
    choose_song(home, "OTHER SONG");
    HWND viewer = review_song(app, home, "KEY SONG");
    REQUIRE(viewer);
    press_key(viewer, IDC_VIEWER_NEXT_KEY, "1");
    Capture before = capture_settled(viewer);
    click(viewer, IDC_VIEWER_NEXT_SONG);
    click(viewer, IDC_VIEWER_PREV_SONG);
    click(viewer, IDC_VIEWER_NEXT_SONG);
    sleep_ms(300);
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_TITLE), "KEY SONG");
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_STEPS), "1");
    CHECK(capture_settled(viewer).pixels == before.pixels);
    close_viewer(viewer);
}

GUI_TEST(viewer, run_remembers_each_entrys_key_and_save_list_keeps_it)
{
    std::string library = song("Alpha", key_song) + song("Beta", key_song);
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    choose_song(home, "ALPHA");
    choose_song(home, "BETA");
    click(home, IDC_LIST_RUN);
    HWND viewer = wait_viewer(app);
    REQUIRE(viewer);
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_TITLE), "ALPHA");
    for (int i = 1; i <= 3; i++)
        press_key(viewer, IDC_VIEWER_NEXT_KEY, std::to_string(i));
    std::vector<COLORREF> alpha_up_three = row_pixels(capture_settled(viewer), 1, 14);
    click(viewer, IDC_VIEWER_NEXT_SONG);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_TITLE, "BETA"), "BETA");
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_STEPS), "0");
    std::vector<COLORREF> beta_at_zero = row_pixels(capture_settled(viewer), 1, 14);
    CHECK(beta_at_zero != alpha_up_three);
    press_key(viewer, IDC_VIEWER_PREV_KEY, "-1");
    press_key(viewer, IDC_VIEWER_PREV_KEY, "-2");
    // back on the first entry: its key is there again, in the box and in the painting
    click(viewer, IDC_VIEWER_PREV_SONG);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_TITLE, "ALPHA"), "ALPHA");
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_STEPS), "3");
    CHECK(row_pixels(capture_settled(viewer), 1, 14) == alpha_up_three);
    click(viewer, IDC_VIEWER_NEXT_SONG);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_STEPS, "-2"), "-2");
    close_viewer(viewer);
    click(home, IDC_LIST_SAVE);
    CHECK(wait_file_bytes(path_in(app, "songlist.txt"),
                          ";SONG LIST FILE\r\nSONG01=ALPHA\r\nKEYCHANGE01=3\r\nSONG02=BETA\r\nKEYCHANGE02=-2\r\n;END"));
    // running the list again starts from its first entry with the keys kept
    click(home, IDC_LIST_RUN);
    viewer = wait_viewer(app);
    REQUIRE(viewer);
    CHECK(row_pixels(capture_settled(viewer), 1, 14) == alpha_up_three);
    close_viewer(viewer);
}

GUI_TEST(viewer, next_song_at_the_last_entry_reloads_it_with_its_key)
{
    std::string library = song("Alpha", key_song) + song("Beta", numbered_rows(21));
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    // the painting of Alpha two steps up, from a review
    HWND viewer = review_song(app, home, "ALPHA");
    REQUIRE(viewer);
    press_key(viewer, IDC_VIEWER_NEXT_KEY, "1");
    press_key(viewer, IDC_VIEWER_NEXT_KEY, "2");
    std::vector<COLORREF> alpha_up_two = row_pixels(capture_settled(viewer), 1, 14);
    close_viewer(viewer);
    write_file(path_in(app, "songlist.txt"),
               ";SONG LIST FILE\r\nSONG01=ALPHA\r\nKEYCHANGE01=2\r\nSONG02=BETA\r\nKEYCHANGE02=5\r\n;END");
    click(home, IDC_LIST_LOAD);
    wait_for([&] { return list_items(GetDlgItem(home, IDC_LIST_SONGS)).size() == 2; });
    click(home, IDC_LIST_RUN);
    viewer = wait_viewer(app);
    REQUIRE(viewer);
    // the first entry is painted with its key while the box still shows the template's 0
    CHECK(row_pixels(capture_settled(viewer), 1, 14) == alpha_up_two);
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_STEPS), "0");
    // Prev Song at the first entry loads it again with its key
    click(viewer, IDC_VIEWER_PREV_SONG);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_STEPS, "2"), "2");
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_TITLE), "ALPHA");
    click(viewer, IDC_VIEWER_NEXT_SONG);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_STEPS, "5"), "5");
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_TITLE), "BETA");
    // Pg Down on this 22-row song shows row 21 at the top
    click(viewer, IDC_VIEWER_PAGE_DOWN);
    CHECK(wait_top_row_length(viewer, 22));
    press_key(viewer, IDC_VIEWER_NEXT_KEY, "6");
    // the library changes behind the viewer; Next Song at the last entry reads it
    // again, keeps the scroll position and the entry's key
    write_file(path_in(app, "songbook.cnr"), song("Alpha", key_song) + song("Beta", numbered_rows(21, 3)));
    set_item_text_to(viewer, IDC_VIEWER_STEPS, "?");
    click(viewer, IDC_VIEWER_NEXT_SONG);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_STEPS, "6"), "6");
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_TITLE), "BETA");
    CHECK(wait_top_row_length(viewer, 25));
    close_viewer(viewer);
}

// The line spacing in effect, from the striped song: its long rows 1 and 3 start
// at y 20 + h and 20 + 3h. (The grey band itself may be a pixel shorter than h:
// the font's cell at height 12 comes out 11 pixels tall.)
static int line_spacing(HWND viewer)
{
    Capture shot = capture_settled(viewer);
    Run first = painted_run(shot, 200);
    if (first.top < 0)
        return -1;
    COLORREF bg = background(shot);
    int y = first.top + first.height;
    while (y < shot.height && shot.at(200, y) == bg)
        y++;
    int h = (y - first.top) / 2;
    return first.top == TEXT_Y + h ? h : -first.top;
}

static bool wait_line_spacing(HWND viewer, int want)
{
    if (wait_for([&] { return line_spacing(viewer) == want; }))
        return true;
    printf("    line spacing %d, expected %d\n", line_spacing(viewer), want);
    keep_failure_shot(capture_settled(viewer), "spacing");
    return false;
}

GUI_TEST(viewer, magnify_stays_within_seven_sizes_and_carries_over)
{
    std::string library = song("Stripes", striped_song);
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND viewer = review_song(app, home, "STRIPES");
    REQUIRE(viewer);
    CHECK(wait_line_spacing(viewer, 14));
    // the cell widths go with the heights: the long row is 40 cells long
    CHECK_EQ_INT(painted_right(capture_settled(viewer), TEXT_Y + 14 + 7), TEXT_X + 40 * 11);
    const int up[] = {16, 18, 19, 20, 20};
    for (int height : up) {
        click(viewer, IDC_VIEWER_MAGNIFY_UP);
        CHECK(wait_line_spacing(viewer, height));
    }
    CHECK_EQ_INT(painted_right(capture_settled(viewer), TEXT_Y + 20 + 10), TEXT_X + 40 * 15);
    close_viewer(viewer);
    viewer = review_song(app, home, "STRIPES");
    REQUIRE(viewer);
    CHECK(wait_line_spacing(viewer, 20));
    const int down[] = {19, 18, 16, 14, 13, 12, 12};
    for (int height : down) {
        click(viewer, IDC_VIEWER_MAGNIFY_DOWN);
        CHECK(wait_line_spacing(viewer, height));
    }
    CHECK_EQ_INT(painted_right(capture_settled(viewer), TEXT_Y + 12 + 6), TEXT_X + 40 * 9);
    close_viewer(viewer);
    // the level is the program's, not the song's: the list runs at it too
    choose_song(home, "STRIPES");
    click(home, IDC_LIST_RUN);
    viewer = wait_viewer(app);
    REQUIRE(viewer);
    CHECK(wait_line_spacing(viewer, 12));
    close_viewer(viewer);
}

GUI_TEST(viewer, a_song_not_found_shows_an_empty_text_area_and_every_button_works)
{
    std::string library = song("Key Song", key_song);
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND viewer = review_song(app, home, "no such song ");
    REQUIRE(viewer);
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_TITLE), "NO SUCH SONG");
    CHECK_EQ_STR(item_text(home, IDC_LIST_STATUS), "Song Not Found");
    auto text_area_empty = [&] {
        Capture shot = capture_settled(viewer);
        // only the blank row 0, one grey cell at the top left
        return painted_right(shot, 27) <= TEXT_X + 20 && painted_right(shot, 40) == 0 &&
               count_colour(shot, 0, 24, SCAN_RIGHT, shot.height, navy) == 0;
    };
    CHECK(text_area_empty());
    press_key(viewer, IDC_VIEWER_NEXT_KEY, "1");
    press_key(viewer, IDC_VIEWER_PREV_KEY, "0");
    press_key(viewer, IDC_VIEWER_PREV_KEY, "-1");
    click(viewer, IDC_VIEWER_PREV_SONG);
    click(viewer, IDC_VIEWER_NEXT_SONG);
    click(viewer, IDC_VIEWER_PAGE_DOWN);
    click(viewer, IDC_VIEWER_PAGE_UP);
    post_scroll(viewer, SB_LINEDOWN);
    post_scroll(viewer, SB_PAGEDOWN);
    post_scroll(viewer, SB_THUMBTRACK, 5);
    post_scroll(viewer, SB_PAGEUP);
    click(viewer, IDC_VIEWER_PAGE_UP);
    click(viewer, IDC_VIEWER_MAGNIFY_UP);
    click(viewer, IDC_VIEWER_MAGNIFY_DOWN);
    sleep_ms(300);
    CHECK(text_area_empty());
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_STEPS), "-1");
    // Print opens the print dialog; Cancel prints nothing
    click(viewer, IDC_VIEWER_PRINT);
    CHECK(press_print_dialog(app.pid, false) != PRINT_DIALOG_TIMEOUT);
    press_key(viewer, IDC_VIEWER_NEXT_KEY, "0");
    // Esc is Return
    PostMessageA(viewer, WM_COMMAND, IDCANCEL, 0);
    CHECK(wait_window_gone(viewer));
    // the home screen is there again and a song that exists opens
    viewer = review_song(app, home, "KEY SONG");
    REQUIRE(viewer);
    CHECK_EQ_STR(item_text(home, IDC_LIST_STATUS), " ");
    CHECK(wait_for([&] { return painted_right(capture_settled(viewer), TEXT_Y + 14 + 7) == TEXT_X + 23 * 11; }));
    close_viewer(viewer);
}

GUI_TEST(viewer, a_long_song_scrolls_to_its_last_line)
{
    // 81 rows: the blank row 0 and rows 1..80 of lengths k % 60 + 1
    std::string library = song("Long Song", numbered_rows(80)) + song("Short Song", numbered_rows(10));
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND viewer = review_song(app, home, "LONG SONG");
    REQUIRE(viewer);
    CHECK(wait_top_row_length(viewer, 1));
    // Pg Down: 34, 68, then the last row, and there it stays
    const int pages[] = {34, 68, 80, 80};
    for (int top : pages) {
        click(viewer, IDC_VIEWER_PAGE_DOWN);
        CHECK(wait_top_row_length(viewer, top % 60 + 1));
    }
    // nothing below the last row
    CHECK_EQ_INT(painted_right(capture_settled(viewer), TEXT_Y + 14 + 7), 0);
    click(viewer, IDC_VIEWER_PAGE_UP);
    CHECK(wait_top_row_length(viewer, 1));
    // the scroll bar: drag to 79, a line down to 80, no further, a drag past the end stops at 80
    post_scroll(viewer, SB_THUMBTRACK, 79);
    CHECK(wait_top_row_length(viewer, 79 % 60 + 1));
    post_scroll(viewer, SB_LINEDOWN);
    CHECK(wait_top_row_length(viewer, 80 % 60 + 1));
    post_scroll(viewer, SB_LINEDOWN);
    post_scroll(viewer, SB_THUMBTRACK, 200);
    sleep_ms(200);
    CHECK_EQ_INT(top_row_length(viewer), 80 % 60 + 1);
    // a page up moves by the client height in rows, less one
    RECT client;
    GetClientRect(viewer, &client);
    int page = client.bottom / 14;
    post_scroll(viewer, SB_PAGEUP);
    CHECK(wait_top_row_length(viewer, (80 - page + 1) % 60 + 1));
    post_scroll(viewer, SB_LINEUP);
    CHECK(wait_top_row_length(viewer, (80 - page) % 60 + 1));
    close_viewer(viewer);
    // a short song pages exactly as before: Pg Down lands on 21, past its 11 rows,
    // and a line up from there still shows nothing; its last row is at 10
    viewer = review_song(app, home, "SHORT SONG");
    REQUIRE(viewer);
    click(viewer, IDC_VIEWER_PAGE_DOWN);
    CHECK(wait_top_row_length(viewer, 0));
    post_scroll(viewer, SB_LINEUP);
    sleep_ms(200);
    CHECK_EQ_INT(painted_right(capture_settled(viewer), TEXT_Y + 7), 0);
    post_scroll(viewer, SB_THUMBTRACK, 10);
    CHECK(wait_top_row_length(viewer, 11));
    post_scroll(viewer, SB_THUMBTRACK, 30);
    CHECK(wait_top_row_length(viewer, 0));
    close_viewer(viewer);
}
