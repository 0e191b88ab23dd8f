// The song editor: loading a song, saving it in place or as a new song, Cancel,
// the help box, and a save that fails.
#include "tests/gui/harness.h"

#include "resources/resource.h"

static const std::string library =
    ";my songs\r\n"
    "::::: Zion Hymn :::::\r\n"
    "          G        D<\r\n"
    "          LA LA LA\r\n"
    "::::: SECOND SONG ::::: KEY=xx\r\r\n"
    "two\r\n";

static const char editor_caption[] = "Enter Song with < mark after last chord on each line";

static HWND open_editor(App& app, HWND home, const char* title, int button)
{
    if (title)
        set_item_text_to(home, IDC_LIST_TITLES, title);
    click(home, button);
    HWND editor = wait_top_window(app.pid, "#32770", editor_caption);
    sleep_ms(150);   // the editor loads its song from a command it posts to itself
    return editor;
}

static bool wait_titles(HWND home, size_t n)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
        if (combo_items(GetDlgItem(home, IDC_LIST_TITLES)).size() == n)
            return true;
        sleep_ms(20);
    }
    return false;
}

GUI_TEST(editor, edit_song_shows_the_body)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND editor = open_editor(app, home, "zion hymn", IDC_LIST_EDIT);
    REQUIRE(editor);
    // the title box holds the title as chosen; the text box the body, chord marks and all
    CHECK_EQ_STR(item_text(editor, IDC_EDITOR_TITLE), "zion hymn");
    CHECK_EQ_STR(item_text(editor, IDC_EDITOR_TEXT), "          G        D<\r\n          LA LA LA\r\n");
    CHECK_EQ_STR(item_text(editor, IDC_EDITOR_KEY), "key");
    CHECK_EQ_STR(item_text(home, IDC_LIST_STATUS), " ");
    // the text box never wraps
    LONG style = GetWindowLongA(GetDlgItem(editor, IDC_EDITOR_TEXT), GWL_STYLE);
    CHECK((style & ES_AUTOHSCROLL) != 0);
    CHECK((style & WS_HSCROLL) == 0);
    click(editor, IDC_EDITOR_HELP);
    std::string text;
    CHECK(close_message_box(app.pid, "EDIT SONGBOOK\r with the EXE Executable program.", &text) ||
          close_message_box(app.pid, "EDIT SONGBOOK\n with the EXE Executable program.", &text, 100));
    CHECK(text.rfind("Put in the song title in the upper right box", 0) == 0);
    CHECK(text.find("copy the song libray and you songlist SONGLIST.TXT") != std::string::npos);
    click(editor, IDC_EDITOR_CANCEL);
    CHECK(wait_window_gone(editor));
    CHECK_EQ_STR(read_file(path_in(app, "songbook.cnr")), library);
    app_stop(app);
}

GUI_TEST(editor, save_update_twice_replaces_the_song_twice)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND editor = open_editor(app, home, "Zion Hymn ", IDC_LIST_EDIT);
    REQUIRE(editor);
    set_item_text_to(editor, IDC_EDITOR_TEXT, "one\r\ntwo");
    click(editor, IDC_EDITOR_SAVE);
    std::string after_first =
        ";my songs\r\n"
        "::::: ZION HYMN ::::: KEY=xx\r\r\n"
        " \r\n"
        "one \r\n"
        "two \r\n"
        "::::: SECOND SONG ::::: KEY=xx\r\r\n"
        "two\r\n";
    CHECK(wait_file_bytes(path_in(app, "songbook.cnr"), after_first));
    CHECK_EQ_STR(read_file(path_in(app, "oldbook.cnr")), library);
    set_item_text_to(editor, IDC_EDITOR_TITLE, "Zion hymn new");
    set_item_text_to(editor, IDC_EDITOR_TEXT, "three");
    click(editor, IDC_EDITOR_SAVE);
    std::string after_second =
        ";my songs\r\n"
        "::::: ZION HYMN NEW ::::: KEY=xx\r\r\n"
        " \r\n"
        "three \r\n"
        "::::: SECOND SONG ::::: KEY=xx\r\r\n"
        "two\r\n";
    CHECK(wait_file_bytes(path_in(app, "songbook.cnr"), after_second));
    CHECK_EQ_STR(read_file(path_in(app, "oldbook.cnr")), after_first);
    CHECK(!file_exists(path_in(app, "temp.cnr")));
    // the editor stays open after Save Update; the title box lists the new title
    CHECK(IsWindowVisible(editor));
    CHECK(wait_titles(home, 2));
    std::vector<std::string> titles = combo_items(GetDlgItem(home, IDC_LIST_TITLES));
    if (titles.size() == 2) {
        CHECK_EQ_STR(titles[0], "SECOND SONG ");
        CHECK_EQ_STR(titles[1], "ZION HYMN NEW ");
    }
    // Exit/Save saves once more and closes
    click(editor, IDC_EDITOR_EXIT_SAVE);
    CHECK(wait_window_gone(editor));
    CHECK_EQ_STR(read_file(path_in(app, "songbook.cnr")), after_second);
    app_stop(app);
}

GUI_TEST(editor, new_song_is_added_in_capitals)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND editor = open_editor(app, home, "Zion Hymn ", IDC_LIST_NEW);
    REQUIRE(editor);
    CHECK_EQ_STR(item_text(editor, IDC_EDITOR_TITLE), "Name");
    CHECK_EQ_STR(item_text(editor, IDC_EDITOR_TEXT), "Edit");
    CHECK_EQ_STR(item_text(editor, IDC_EDITOR_KEY), "key");
    set_item_text_to(editor, IDC_EDITOR_TITLE, "morning song");
    set_item_text_to(editor, IDC_EDITOR_TEXT, "A   D<\r\nhello");
    click(editor, IDC_EDITOR_EXIT_SAVE);
    CHECK(wait_window_gone(editor));
    CHECK(wait_file_bytes(path_in(app, "songbook.cnr"),
                          library + "::::: MORNING SONG ::::: KEY=xx\r\r\n \r\nA   D< \r\nhello \r\n"));
    CHECK(wait_titles(home, 3));
    std::vector<std::string> titles = combo_items(GetDlgItem(home, IDC_LIST_TITLES));
    if (titles.size() == 3)
        CHECK_EQ_STR(titles[0], "MORNING SONG ");
    app_stop(app);
}

GUI_TEST(editor, cancel_saves_nothing)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND editor = open_editor(app, home, "SECOND SONG", IDC_LIST_EDIT);
    REQUIRE(editor);
    set_item_text_to(editor, IDC_EDITOR_TEXT, "changed");
    PostMessageA(editor, WM_COMMAND, IDCANCEL, 0);   // Esc
    CHECK(wait_window_gone(editor));
    sleep_ms(200);
    CHECK_EQ_STR(read_file(path_in(app, "songbook.cnr")), library);
    CHECK(!file_exists(path_in(app, "oldbook.cnr")));
    app_stop(app);
}

GUI_TEST(editor, a_failed_save_says_so_and_keeps_the_library)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND editor = open_editor(app, home, "SECOND SONG", IDC_LIST_EDIT);
    REQUIRE(editor);
    set_item_text_to(editor, IDC_EDITOR_TEXT, "changed");
    // the folder cannot take the new library: a folder stands where temp.cnr goes
    REQUIRE(CreateDirectoryA(path_in(app, "temp.cnr").c_str(), nullptr));
    click(editor, IDC_EDITOR_EXIT_SAVE);
    std::string text;
    CHECK(close_message_box(app.pid, "SAVE SONG", &text));
    CHECK(!text.empty());
    CHECK_EQ_STR(read_file(path_in(app, "songbook.cnr")), library);
    // the editor stays open, with what was typed
    CHECK(IsWindowVisible(editor));
    CHECK_EQ_STR(item_text(editor, IDC_EDITOR_TEXT), "changed");
    RemoveDirectoryA(path_in(app, "temp.cnr").c_str());
    // a library that another program holds open without sharing
    HANDLE held = CreateFileA(path_in(app, "songbook.cnr").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(held != INVALID_HANDLE_VALUE);
    click(editor, IDC_EDITOR_SAVE);
    CHECK(close_message_box(app.pid, "SAVE SONG", &text));
    CloseHandle(held);
    CHECK_EQ_STR(read_file(path_in(app, "songbook.cnr")), library);
    CHECK(!file_exists(path_in(app, "temp.cnr")));
    // and once the library is free again, the save goes through
    click(editor, IDC_EDITOR_EXIT_SAVE);
    CHECK(wait_window_gone(editor));
    CHECK(read_file(path_in(app, "songbook.cnr")).find("changed \r\n") != std::string::npos);
    app_stop(app);
}
