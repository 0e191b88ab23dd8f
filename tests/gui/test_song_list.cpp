// The home screen: title box, hidden titles, Find, building, saving and loading the song list.
#include "tests/gui/harness.h"

#include "resources/resource.h"

static const std::string library =
    ";a comment line\r\n"
    "::::: Zion Hymn :::::\r\n"
    "la la\r\n"
    "::::: /Secret Song :::::\r\n"
    "hush\r\n"
    "***** Hymns *****\r\n"
    "::::: AMAZING GRACE  ::::: KEY=xx\r\r\n"
    " \r\n"
    "#*#*# end of book\r\n"
    "::::: AFTER THE END :::::\r\n";

static HWND titles_of(HWND home) { return GetDlgItem(home, IDC_LIST_TITLES); }
static HWND songs_of(HWND home) { return GetDlgItem(home, IDC_LIST_SONGS); }

static void choose(HWND home, const std::string& title)
{
    size_t before = list_items(songs_of(home)).size();
    set_item_text_to(home, IDC_LIST_TITLES, title);
    click(home, IDC_LIST_CHOOSE);
    DWORD start = GetTickCount();
    while (list_items(songs_of(home)).size() == before && GetTickCount() - start < 5000)
        sleep_ms(10);
}

static bool wait_list_size(HWND home, size_t n)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
        if (list_items(songs_of(home)).size() == n)
            return true;
        sleep_ms(10);
    }
    return false;
}

GUI_TEST(song_list, lists_titles_sorted_and_headings)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    std::vector<std::string> want = {" Hymns ", "AMAZING GRACE  ", "Zion Hymn "};
    std::vector<std::string> got = combo_items(titles_of(home));
    CHECK_EQ_INT(got.size(), want.size());
    for (size_t i = 0; i < want.size() && i < got.size(); i++)
        CHECK_EQ_STR(got[i], want[i]);
    CHECK_EQ_STR(item_text(home, IDC_LIST_STATUS), ".");
    app_stop(app);
}

GUI_TEST(song_list, show_hidden_songs_toggles_hidden_titles)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    CHECK_EQ_INT(combo_items(titles_of(home)).size(), 3);
    PostMessageA(GetDlgItem(home, IDC_LIST_SHOW_HIDDEN), BM_CLICK, 0, 0);
    DWORD start = GetTickCount();
    while (combo_items(titles_of(home)).size() != 4 && GetTickCount() - start < 5000)
        sleep_ms(10);
    std::vector<std::string> got = combo_items(titles_of(home));
    CHECK_EQ_INT(got.size(), 4);
    bool hidden_listed = false;
    for (const std::string& title : got)
        hidden_listed = hidden_listed || title == "/Secret Song ";
    CHECK(hidden_listed);
    PostMessageA(GetDlgItem(home, IDC_LIST_SHOW_HIDDEN), BM_CLICK, 0, 0);
    start = GetTickCount();
    while (combo_items(titles_of(home)).size() != 3 && GetTickCount() - start < 5000)
        sleep_ms(10);
    CHECK_EQ_INT(combo_items(titles_of(home)).size(), 3);
    app_stop(app);
}

GUI_TEST(song_list, choose_save_clear_and_load_round_trip)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    choose(home, "Zion Hymn ");
    choose(home, "AMAZING GRACE  ");
    choose(home, "");
    std::vector<std::string> rows = list_items(songs_of(home));
    REQUIRE(rows.size() == 3);
    CHECK_EQ_STR(rows[0], "Zion Hymn ");
    CHECK_EQ_STR(rows[2], "");
    click(home, IDC_LIST_SAVE);
    std::string saved =
        ";SONG LIST FILE\r\n"
        "SONG01=Zion Hymn \r\n"
        "KEYCHANGE01=0\r\n"
        "SONG02=AMAZING GRACE  \r\n"
        "KEYCHANGE02=0\r\n"
        "SONG03=\r\n"
        "KEYCHANGE03=0\r\n"
        ";END";
    CHECK(wait_file_bytes(path_in(app, "songlist.txt"), saved));
    click(home, IDC_LIST_CLEAR);
    CHECK(wait_list_size(home, 0));
    click(home, IDC_LIST_LOAD);
    CHECK(wait_list_size(home, 3));
    rows = list_items(songs_of(home));
    if (rows.size() == 3) {
        CHECK_EQ_STR(rows[0], "ZION HYMN");
        CHECK_EQ_STR(rows[1], "AMAZING GRACE");
        CHECK_EQ_STR(rows[2], "");
    }
    // loading again does not double the rows
    click(home, IDC_LIST_LOAD);
    sleep_ms(300);
    CHECK_EQ_INT(list_items(songs_of(home)).size(), 3);
    // saved again: the loaded titles in capitals
    click(home, IDC_LIST_SAVE);
    CHECK(wait_file_bytes(path_in(app, "songlist.txt"),
                          ";SONG LIST FILE\r\nSONG01=ZION HYMN\r\nKEYCHANGE01=0\r\nSONG02=AMAZING GRACE\r\n"
                          "KEYCHANGE02=0\r\nSONG03=\r\nKEYCHANGE03=0\r\n;END"));
    app_stop(app);
}

GUI_TEST(song_list, load_list_without_a_file_says_so)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    choose(home, "Zion Hymn ");
    click(home, IDC_LIST_LOAD);
    std::string text;
    CHECK(close_message_box(app.pid, "LOAD SONGLIST", &text));
    CHECK_EQ_STR(text, "Could Not Load Songlist");
    // the list keeps its rows
    CHECK_EQ_INT(list_items(songs_of(home)).size(), 1);
    app_stop(app);
}

GUI_TEST(song_list, help_shows_its_text)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    click(home, IDC_LIST_HELP);
    std::string text;
    CHECK(close_message_box(app.pid, "Cantoria Help", &text));
    CHECK(text.rfind("Functions on left deal with single song\rThose are EDIT and REVIEW\r", 0) == 0 ||
          text.rfind("Functions on left deal with single song\nThose are EDIT and REVIEW\n", 0) == 0);
    CHECK(text.find("to the songlist.  The songlist can be executed using RUN.") != std::string::npos);
    CHECK(text.find("For this version, you will have to choose songs in order") != std::string::npos);
    app_stop(app);
}

GUI_TEST(song_list, main_menu_closes_and_songlist_reopens_empty)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    choose(home, "Zion Hymn ");
    CHECK_EQ_INT(list_items(songs_of(home)).size(), 1);
    click(home, IDC_LIST_MAIN_MENU);
    CHECK(wait_window_gone(home));
    HWND main = find_top_window(app.pid, "MainClass", nullptr);
    REQUIRE(main);
    PostMessageA(main, WM_COMMAND, IDM_SONGLIST, 0);
    HWND again = wait_top_window(app.pid, "#32770", "List of Songs Available");
    REQUIRE(again);
    sleep_ms(200);
    CHECK_EQ_INT(list_items(songs_of(again)).size(), 0);
    CHECK_EQ_INT(combo_items(titles_of(again)).size(), 3);
    // Esc (command 2) also goes back to the main window
    PostMessageA(again, WM_COMMAND, IDCANCEL, 0);
    CHECK(wait_window_gone(again));
    app_stop(app);
}

GUI_TEST(song_list, a_31st_choose_is_refused)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    for (int i = 0; i < 30; i++)
        choose(home, "Zion Hymn ");
    CHECK_EQ_INT(list_items(songs_of(home)).size(), 30);
    set_item_text_to(home, IDC_LIST_TITLES, "AMAZING GRACE");
    click(home, IDC_LIST_CHOOSE);
    std::string text;
    CHECK(close_message_box(app.pid, "SONG LIST FULL", &text));
    CHECK(text.find("full") != std::string::npos);
    CHECK_EQ_INT(list_items(songs_of(home)).size(), 30);
    app_stop(app);
}

GUI_TEST(song_list, review_of_a_missing_title_says_song_not_found)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    set_item_text_to(home, IDC_LIST_TITLES, "AFTER THE END");
    click(home, IDC_LIST_REVIEW);
    CHECK_EQ_STR(wait_item_text(home, IDC_LIST_STATUS, "Song Not Found"), "Song Not Found");
    HWND viewer = wait_dialog_with_child(app.pid, 4028);
    if (viewer)
        click(viewer, 2);
    set_item_text_to(home, IDC_LIST_TITLES, "zion hymn");
    click(home, IDC_LIST_REVIEW);
    CHECK_EQ_STR(wait_item_text(home, IDC_LIST_STATUS, " "), " ");
    app_stop(app);
}

// Waits until the title box holds exactly these entries (in its sorted order).
static bool wait_titles(HWND home, const std::vector<std::string>& want)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
        if (combo_items(titles_of(home)) == want)
            return true;
        sleep_ms(10);
    }
    return false;
}

GUI_TEST(song_list, find_narrows_the_titles_to_songs_holding_the_words)
{
    const std::string book =
        "***** Hymns *****\r\n"
        "::::: It Is Well ::::: KEY=xx\r\r\n"
        "G        D     <\r\n"
        "When peace like a river attendeth my way \r\n"
        "It is WELL, with my soul \r\n"
        "::::: Zion Hymn :::::\r\n"
        "la la\r\n"
        "::::: AMAZING GRACE  ::::: KEY=xx\r\r\n"
        "how sweet the sound\r\n";
    App app;
    HWND home = app_start_home(app, &book);
    REQUIRE(home);
    const std::vector<std::string> all = {" Hymns ", "AMAZING GRACE  ", "It Is Well ", "Zion Hymn "};
    CHECK(wait_titles(home, all));

    set_item_text_to(home, IDC_LIST_TITLES, "river  well,with");
    click(home, IDC_LIST_FIND);
    CHECK(wait_titles(home, {" Hymns ", "It Is Well "}));
    CHECK_EQ_STR(wait_item_text(home, IDC_LIST_STATUS, "1 found"), "1 found");
    CHECK_EQ_STR(item_text(home, IDC_LIST_TITLES), "river  well,with");

    // Review of the found title shows that song
    HWND viewer = review_song(app, home, "It Is Well ");
    REQUIRE(viewer);
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_TITLE), "IT IS WELL");
    click(viewer, IDC_VIEWER_RETURN);
    CHECK(wait_window_gone(viewer));

    set_item_text_to(home, IDC_LIST_TITLES, "sound zebra");
    click(home, IDC_LIST_FIND);
    CHECK(wait_titles(home, {}));
    CHECK_EQ_STR(wait_item_text(home, IDC_LIST_STATUS, "Song Not Found"), "Song Not Found");

    // Find with an empty box lists every title again
    set_item_text_to(home, IDC_LIST_TITLES, "");
    click(home, IDC_LIST_FIND);
    CHECK(wait_titles(home, all));
    CHECK_EQ_STR(wait_item_text(home, IDC_LIST_STATUS, " "), " ");
    app_stop(app);
}
