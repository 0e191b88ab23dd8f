// Several windows at once: viewers, editors and home screens open side by side
// never make a save replace a song its editor did not open, or lose a text.
#include "tests/gui/harness.h"

#include "resources/resource.h"

static const char editor_caption[] = "Enter Song with < mark after last chord on each line";

static const std::string song_a = "::::: ABIDE :::::\r\nabide\r\n";
static const std::string song_b = "::::: BE STILL :::::\r\nbe still\r\n";
static const std::string song_c = "::::: CROWN HIM :::::\r\ncrown\r\n";
static const std::string library = ";my songs\r\n" + song_a + song_b + song_c;

// A song as the editor writes it.
static std::string saved(const char* title, const char* line)
{
    return std::string("::::: ") + title + " ::::: KEY=xx\r\r\n \r\n" + line + " \r\n";
}

// Opens an editor from the home screen (Edit Song on title, or New Song when
// title is null) and waits for it to have loaded; except: an editor already open.
static HWND open_editor(App& app, HWND home, const char* title, HWND except = nullptr)
{
    if (title)
        set_item_text_to(home, IDC_LIST_TITLES, title);
    click(home, title ? IDC_LIST_EDIT : IDC_LIST_NEW);
    HWND editor = wait_dialog_with_child(app.pid, IDC_EDITOR_TEXT, 10000, except);
    if (editor)
        wait_item_text(editor, IDC_EDITOR_TITLE, title ? title : "Name");
    return editor;
}

static void type_text(HWND editor, const char* text)
{
    set_item_text_to(editor, IDC_EDITOR_TEXT, text);
}

// The library holds exactly these bytes, no temp.cnr is left, the program runs.
static void expect_library(App& app, HWND home, const std::string& want)
{
    CHECK(wait_file_bytes(path_in(app, "songbook.cnr"), want));
    CHECK(!file_exists(path_in(app, "temp.cnr")));
    CHECK(IsWindow(home));
    CHECK_EQ_INT(WaitForSingleObject(app.pi.hProcess, 0), WAIT_TIMEOUT);
}

GUI_TEST(windows, review_while_an_editor_is_open_saves_the_edited_song)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND editor = open_editor(app, home, "ABIDE");
    REQUIRE(editor);
    type_text(editor, "mine");
    HWND viewer = review_song(app, home, "BE STILL");
    REQUIRE(viewer);
    click(viewer, IDC_VIEWER_RETURN);
    CHECK(wait_window_gone(viewer));
    click(editor, IDC_EDITOR_EXIT_SAVE);
    CHECK(wait_window_gone(editor));
    expect_library(app, home, ";my songs\r\n" + saved("ABIDE", "mine") + song_b + song_c);
    app_stop(app);
}

GUI_TEST(windows, two_editors_each_save_their_own_song)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND first = open_editor(app, home, "ABIDE");
    REQUIRE(first);
    HWND second = open_editor(app, home, "BE STILL", first);
    REQUIRE(second);
    type_text(second, "two");
    click(second, IDC_EDITOR_SAVE);
    CHECK(wait_file_bytes(path_in(app, "songbook.cnr"), ";my songs\r\n" + song_a + saved("BE STILL", "two") + song_c));
    type_text(first, "one");
    click(first, IDC_EDITOR_SAVE);
    std::string both = ";my songs\r\n" + saved("ABIDE", "one") + saved("BE STILL", "two") + song_c;
    CHECK(wait_file_bytes(path_in(app, "songbook.cnr"), both));
    click(second, IDC_EDITOR_CANCEL);
    CHECK(wait_window_gone(second));
    click(first, IDC_EDITOR_EXIT_SAVE);
    CHECK(wait_window_gone(first));
    expect_library(app, home, both);
    app_stop(app);
}

GUI_TEST(windows, new_song_cancelled_beside_an_open_editor_adds_nothing)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND editor = open_editor(app, home, "CROWN HIM");
    REQUIRE(editor);
    type_text(editor, "crowned");
    HWND fresh = open_editor(app, home, nullptr, editor);
    REQUIRE(fresh);
    click(fresh, IDC_EDITOR_CANCEL);
    CHECK(wait_window_gone(fresh));
    click(editor, IDC_EDITOR_EXIT_SAVE);
    CHECK(wait_window_gone(editor));
    expect_library(app, home, ";my songs\r\n" + song_a + song_b + saved("CROWN HIM", "crowned"));
    app_stop(app);
}

GUI_TEST(windows, songnew_typed_never_replaces_a_song_of_that_title)
{
    std::string songnew = "::::: SONGNEW :::::\r\nmine\r\n";
    App app;
    std::string lib = library + songnew;
    HWND home = app_start_home(app, &lib);
    REQUIRE(home);
    HWND editor = open_editor(app, home, "songnew");
    REQUIRE(editor);
    CHECK_EQ_STR(item_text(editor, IDC_EDITOR_TEXT), "Edit");
    set_item_text_to(editor, IDC_EDITOR_TITLE, "fresh");
    type_text(editor, "typed");
    click(editor, IDC_EDITOR_EXIT_SAVE);
    CHECK(wait_window_gone(editor));
    expect_library(app, home, lib + saved("FRESH", "typed"));
    app_stop(app);
}

GUI_TEST(windows, a_song_mark_typed_into_the_text_is_refused)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND editor = open_editor(app, home, "BE STILL");
    REQUIRE(editor);
    type_text(editor, "first\r\n::::: second");
    click(editor, IDC_EDITOR_EXIT_SAVE);
    std::string text;
    CHECK(close_message_box(app.pid, "SAVE SONG", &text));
    CHECK(text.find("Line 2") != std::string::npos);
    // nothing written; the editor stays open with its text
    CHECK(IsWindowVisible(editor));
    CHECK_EQ_STR(item_text(editor, IDC_EDITOR_TEXT), "first\r\n::::: second");
    expect_library(app, home, library);
    CHECK(!file_exists(path_in(app, "oldbook.cnr")));
    click(editor, IDC_EDITOR_CANCEL);
    app_stop(app);
}

GUI_TEST(windows, a_second_home_screen_leaves_the_first_its_own_list)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    choose_song(home, "ABIDE");
    choose_song(home, "CROWN HIM");
    HWND main = find_top_window(app.pid, "MainClass", nullptr);
    REQUIRE(main);
    // sent, not posted: Wine drops these numbers when posted
    DWORD_PTR result = 0;
    SendMessageTimeoutA(main, MSG_OPEN_SONG_LIST, 0, 0, SMTO_NORMAL, 300, &result);
    HWND second = wait_dialog_with_child(app.pid, IDC_LIST_SONGS, 10000, home);
    REQUIRE(second);
    click(second, IDC_LIST_MAIN_MENU);
    CHECK(wait_window_gone(second));
    click(home, IDC_LIST_SAVE);
    CHECK(wait_file_bytes(path_in(app, "songlist.txt"),
                          ";SONG LIST FILE\r\nSONG01=ABIDE\r\nKEYCHANGE01=0\r\n"
                          "SONG02=CROWN HIM\r\nKEYCHANGE02=0\r\n;END"));
    click(home, IDC_LIST_CLEAR);
    DWORD start = GetTickCount();
    while (!list_items(GetDlgItem(home, IDC_LIST_SONGS)).empty() && GetTickCount() - start < 5000)
        sleep_ms(20);
    CHECK(list_items(GetDlgItem(home, IDC_LIST_SONGS)).empty());
    expect_library(app, home, library);
    app_stop(app);
}

GUI_TEST(windows, key_buttons_step_back_from_a_key_loaded_while_the_list_runs)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    choose_song(home, "ABIDE");
    click(home, IDC_LIST_RUN);
    HWND viewer = wait_dialog_with_child(app.pid, IDC_VIEWER_MAGNIFY_UP);
    REQUIRE(viewer);
    // a hand-edited song list loaded beneath the running viewer
    write_file(path_in(app, "songlist.txt"), "SONG01=ABIDE\r\nKEYCHANGE01=20\r\n");
    click(home, IDC_LIST_LOAD);
    sleep_ms(200);
    click(viewer, IDC_VIEWER_MAGNIFY_UP);   // the next paint takes the entry's key
    sleep_ms(200);
    click(viewer, IDC_VIEWER_PREV_KEY);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_STEPS, "19"), "19");
    click(viewer, IDC_VIEWER_NEXT_KEY);   // 20 is above 12: Next Key wraps to 0
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_STEPS, "0"), "0");
    click(viewer, IDC_VIEWER_RETURN);
    app_stop(app);
}
