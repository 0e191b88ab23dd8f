// "Export List": the song list through the save dialog into one ChordPro file.
#include "tests/gui/harness.h"

#include "resources/resource.h"

enum { SAVE_DIALOG_FILE_NAME = 0x47C };   // the file name box of the common save dialog

GUI_TEST(export, export_list_writes_the_songs_in_their_keys_and_keeps_the_working_folder)
{
    std::string library = "::::: MORNING SONG :::::\r\n"
                          "        G       C       D< \r\n"
                          "        SING TO THE MORNING \r\n"
                          "::::: CAF\xc9 :::::\r\n"
                          "  Am   E7< \r\n"
                          "  Caf\xe9 cr\xe8me \x80 \r\n";
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    // an empty list exports nothing and says so
    click(home, IDC_LIST_EXPORT);
    std::string text;
    CHECK(close_message_box(app.pid, "EXPORT LIST", &text));
    CHECK(text.rfind("The song list is empty", 0) == 0);

    REQUIRE(load_song_list(app, home, {{"MORNING SONG", 2}, {"CAF\xc9", -3}}));
    CreateDirectoryA(path_in(app, "tablet").c_str(), nullptr);
    click(home, IDC_LIST_EXPORT);
    HWND save = wait_top_window(app.pid, "#32770", "Export List");
    REQUIRE(save);
    set_item_text_to(save, SAVE_DIALOG_FILE_NAME, path_in(app, "tablet\\service.cho"));
    PostMessageA(save, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    std::string want = "{title: MORNING SONG}\r\n"
                       "        [A]SING TO [D]THE MORN[E]ING \r\n"
                       "{new_song}\r\n"
                       "{title: CAF\xc3\x89}\r\n"
                       "  [F#m]Caf\xc3\xa9 [C#7]cr\xc3\xa8me \xe2\x82\xac \r\n";
    CHECK_EQ_STR(wait_file(path_in(app, "tablet\\service.cho")), want);
    CHECK(!file_exists(path_in(app, "tablet\\service.cho.tmp")));
    // the program still works in its own folder: the list is saved there
    click(home, IDC_LIST_SAVE);
    CHECK(wait_file_bytes(path_in(app, "songlist.txt"),
                          ";SONG LIST FILE\r\nSONG01=MORNING SONG\r\nKEYCHANGE01=2\r\nSONG02=CAF\xc9\r\n"
                          "KEYCHANGE02=-3\r\n;END"));
    CHECK(!file_exists(path_in(app, "tablet\\songlist.txt")));
    app_stop(app);
}
