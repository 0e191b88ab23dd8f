// Import... through the open dialog, a title the library has already, and Mark Chords in the editor.
#include "tests/gui/harness.h"

#include "resources/resource.h"

enum {
    OPEN_FILE_NAME = 0x47C    // the file name box of the Explorer-style open dialog
};

static const std::string library =
    ";my songs\r\n"
    "::::: AMAZING GRACE ::::: KEY=xx\r\r\n"
    " \r\n"
    "G   C< \r\n"
    "the old words \r\n";

// A folder of files to import, away from the program's own folder.
static std::string import_folder(const App& app)
{
    std::string folder = app.dir + "\\to import";
    CreateDirectoryA(folder.c_str(), nullptr);
    write_file(folder + "\\morning.cho", "{title: Morning Praise}\n[G]Morning has [C]come\n");
    write_file(folder + "\\evening.txt", "Evening Hymn\r\nD    A\r\nrest now\r\n");
    write_file(folder + "\\grace.cho", "{title: amazing grace}\n[D]new words\n");
    return folder;
}

// Presses Import..., types what a user would type into the open dialog's file
// name box (a folder to open first, then one name or several quoted ones) and
// presses Open; returns the text of the summary box.
static std::string import_through_dialog(App& app, HWND home, const std::string& folder, const std::string& names)
{
    click(home, IDC_LIST_IMPORT);
    HWND open = wait_dialog_with_child(app.pid, OPEN_FILE_NAME);
    if (!open)
        return "<no open dialog>";
    set_item_text_to(open, OPEN_FILE_NAME, folder);
    click(open, IDOK);
    sleep_ms(300);
    set_item_text_to(open, OPEN_FILE_NAME, names);
    click(open, IDOK);
    std::string summary = "<no summary box>";
    close_message_box(app.pid, "IMPORT", &summary);
    return summary;
}

GUI_TEST(import, two_files_through_the_open_dialog)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    std::string folder = import_folder(app);
    std::string summary = import_through_dialog(app, home, folder, "\"morning.cho\" \"evening.txt\"");
    CHECK_EQ_STR(summary, "2 songs were added to the library.");
    CHECK_EQ_STR(read_file(path_in(app, "songbook.cnr")),
                 library +
                     "::::: MORNING PRAISE ::::: KEY=xx\r\r\n \r\nG           C< \r\nMorning has come \r\n"
                     "::::: EVENING HYMN ::::: KEY=xx\r\r\n \r\nD    A< \r\nrest now \r\n");
    CHECK_EQ_STR(read_file(path_in(app, "oldbook.cnr")), library);
    // the open dialog left the program's folder as it was: nothing went into the chosen one
    CHECK(!file_exists(folder + "\\songbook.cnr"));
    std::vector<std::string> titles = combo_items(GetDlgItem(home, IDC_LIST_TITLES));
    CHECK_EQ_INT(titles.size(), 3);
    if (titles.size() == 3)
        CHECK_EQ_STR(titles[1], "EVENING HYMN ");
    app_stop(app);
}

GUI_TEST(import, a_title_the_library_has_is_left_out)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    std::string folder = import_folder(app);
    std::string summary = import_through_dialog(app, home, folder, "grace.cho");
    CHECK_EQ_STR(summary, "No song was added to the library.\rLeft out:\r"
                          "grace.cho, AMAZING GRACE: the library already has a song of this title");
    CHECK_EQ_STR(read_file(path_in(app, "songbook.cnr")), library);
    CHECK(!file_exists(path_in(app, "oldbook.cnr")));
    app_stop(app);
}

GUI_TEST(import, mark_chords_marks_chord_rows_and_leaves_words)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    click(home, IDC_LIST_NEW);
    HWND editor = wait_dialog_with_child(app.pid, IDC_EDITOR_MARK);
    REQUIRE(editor);
    sleep_ms(150);
    // a multi-line box reports no change for a text set from outside: the last key is typed
    std::string text = "G   C   D\r\nA man of sorrows\r\n  Em  Am7 \r\nBe still";
    set_item_text_to(editor, IDC_EDITOR_TEXT, text);
    HWND box = GetDlgItem(editor, IDC_EDITOR_TEXT);
    SendMessageA(box, EM_SETSEL, text.size(), text.size());
    PostMessageA(box, WM_CHAR, '<', 0);
    std::string hint = "lines 1 and 3 look like chords but have no <; line 4 has < but holds words";
    CHECK_EQ_STR(wait_item_text(editor, IDC_EDITOR_CHORD_HINT, hint), hint);
    click(editor, IDC_EDITOR_MARK);
    std::string marked = "G   C   D<\r\nA man of sorrows\r\n  Em  Am7<\r\nBe still<";
    CHECK_EQ_STR(wait_item_text(editor, IDC_EDITOR_TEXT, marked), marked);
    hint = "line 4 has < but holds words";
    CHECK_EQ_STR(wait_item_text(editor, IDC_EDITOR_CHORD_HINT, hint), hint);
    // Cancel still saves nothing
    click(editor, IDC_EDITOR_CANCEL);
    CHECK(wait_window_gone(editor));
    CHECK_EQ_STR(read_file(path_in(app, "songbook.cnr")), library);
    app_stop(app);
}
