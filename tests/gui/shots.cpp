// The pictures of the user guide: opens each screen on the example library and saves
// it as a BMP into the folder named by CANTORIA_SHOTS (a Unix path); scripts/screenshots.sh
// runs it as "gui_tests.exe shots" and turns the pictures into PNGs. Not a CTest suite.
#include "tests/gui/harness.h"

#include <cstdio>
#include <cstdlib>

#include "resources/resource.h"

// The window with its frame, as the screen shows it.
static bool save_window(HWND window, const std::string& folder, const char* name)
{
    Capture shot;
    std::string path = folder + "\\" + name + ".bmp";
    bool ok = capture_window(window, shot) && save_capture_bmp(shot, path);
    printf("    %s %s (%d x %d)\n", ok ? "saved" : "could not save", path.c_str(), shot.width, shot.height);
    return ok;
}

static std::string shots_folder()
{
    const char* unix_folder = getenv("CANTORIA_SHOTS");
    if (!unix_folder || !*unix_folder)
        return "";
    std::string folder = std::string("Z:") + unix_folder;
    for (char& c : folder)
        if (c == '/')
            c = '\\';
    return folder;
}

GUI_TEST(shots, home_viewer_and_editor)
{
    std::string folder = shots_folder();
    if (folder.empty()) {
        check_failed(__FILE__, __LINE__, "CANTORIA_SHOTS names no folder: run scripts/screenshots.sh");
        return;
    }
    App app;
    HWND home = app_start_home(app);   // a fresh folder: the program writes its example library
    REQUIRE(home);
    std::vector<std::string> titles = combo_items(GetDlgItem(home, IDC_LIST_TITLES));
    REQUIRE(!titles.empty());
    const std::string title = titles[0];
    // the title picked in the box and two entries in the song list, as a user would have it
    choose_song(home, title);
    choose_song(home, title);
    SendMessageTimeoutA(GetDlgItem(home, IDC_LIST_TITLES), CB_SETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    capture_settled(home);
    CHECK(save_window(home, folder, "home"));

    HWND viewer = review_song(app, home, title);
    REQUIRE(viewer);
    capture_settled(viewer);
    CHECK(save_window(viewer, folder, "viewer"));
    for (int i = 1; i <= 3; i++)
        click(viewer, IDC_VIEWER_NEXT_KEY);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_STEPS, "3"), "3");
    capture_settled(viewer);
    CHECK(save_window(viewer, folder, "viewer-plus3"));
    click(viewer, IDC_VIEWER_RETURN);
    wait_window_gone(viewer);

    set_item_text_to(home, IDC_LIST_TITLES, title);
    click(home, IDC_LIST_EDIT);
    HWND editor = wait_dialog_with_child(app.pid, IDC_EDITOR_TEXT, 10000);
    if (editor) {
        sleep_ms(300);   // the text box is filled by the command the editor posts to itself
        capture_settled(editor);
        CHECK(save_window(editor, folder, "editor"));
    } else {
        printf("    the editor did not open: no editor picture\n");
    }
    app_stop(app);
}

// The printed service of the user guide: three songs in their keys through
// "Print List" to the PDF printer; the PDF is copied into the pictures folder as
// service.pdf, and scripts/screenshots.sh turns its first two pages into pictures.
GUI_TEST(shots, printed_service)
{
    std::string folder = shots_folder();
    REQUIRE(!folder.empty());
    std::string library =
        "::::: AMAZING MORNING :::::\r\n"
        "                  g        e        am7< \r\n"
        "          MORNING HAS COME WITH THE LIGHT \r\n"
        "                  a        g        bm7< \r\n"
        "          SING TO THE DAY THAT IS NEW \r\n"
        " \r\n"
        "                   g         e       am7< \r\n"
        "          SING WITH THE MORNING \r\n"
        "::::: RIVER OF EVENING :::::\r\n"
        "          D         A        Bm      G< \r\n"
        "          Down by the river the evening is still \r\n"
        "          D         A        G       D< \r\n"
        "          Lanterns are lit on the side of the hill \r\n"
        "::::: SONG OF THE HARVEST :::::\r\n"
        "          C       F        G       C< \r\n"
        "          Gather the wheat in the golden field \r\n";
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    REQUIRE(load_song_list(app, home, {{"AMAZING MORNING", 2}, {"RIVER OF EVENING", 0}, {"SONG OF THE HARVEST", -3}}));
    SYSTEMTIME now;
    GetLocalTime(&now);
    char pdf[120];
    snprintf(pdf, sizeof pdf, "Z:\\var\\spool\\cups-pdf\\out\\SONG_LIST_%04d-%02d-%02d.pdf", now.wYear, now.wMonth,
             now.wDay);
    DeleteFileA(pdf);
    click(home, IDC_LIST_PRINT);
    REQUIRE(press_print_dialog(app.pid, true) == PRINT_DIALOG_PRESSED);
    DWORD start = GetTickCount();
    std::string bytes;
    while ((bytes = read_file(pdf)).find("%%EOF") == std::string::npos && GetTickCount() - start < 30000)
        sleep_ms(50);
    CHECK(CopyFileA(pdf, (folder + "\\service.pdf").c_str(), FALSE));
    DeleteFileA(pdf);
    app_stop(app);
}
