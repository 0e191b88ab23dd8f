// Accented letters and the other Windows-1252 characters kept as stored through the editor.
#include "tests/gui/harness.h"

#include "resources/resource.h"

// Every byte 0x20 to 0xFF in a song (but '&', which the loading drops from
// every line), loaded into the editor and saved back: the library holds the
// same bytes afterwards. A letter typed into the text
// box lands as its Windows-1252 byte too, with no OEM round trip changing it.
GUI_TEST(accents, every_character_survives_the_editors_load_and_save)
{
    std::vector<std::string> rows;
    for (int first = 0x20; first <= 0xFF; first += 32) {
        std::string row;
        for (int c = first; c < first + 32; c++)
            if (c != '&')
                row += (char)c;
        rows.push_back(row);
    }
    std::string library = "::::: ALL BYTES :::::\r\n";
    for (const std::string& row : rows)
        library += row + "\r\n";
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    set_item_text_to(home, IDC_LIST_TITLES, "ALL BYTES");
    click(home, IDC_LIST_EDIT);
    HWND editor = wait_dialog_with_child(app.pid, IDC_EDITOR_TEXT);
    REQUIRE(editor);
    HWND box = GetDlgItem(editor, IDC_EDITOR_TEXT);
    DWORD start = GetTickCount();
    while (item_text(editor, IDC_EDITOR_TEXT).empty() && GetTickCount() - start < 5000)
        sleep_ms(20);
    // typed at the end of the text: e acute, the euro sign, curly quotes, OE
    SendMessageTimeoutW(box, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF, SMTO_ABORTIFHUNG, 2000, nullptr);
    for (wchar_t c : std::wstring(L"\u00e9\u20ac\u201cx\u201d\u0152"))
        PostMessageW(box, WM_CHAR, c, 0);
    std::string typed = "\xe9\x80\x93x\x94\x8c";
    start = GetTickCount();
    while (item_text(editor, IDC_EDITOR_TEXT).find(typed) == std::string::npos && GetTickCount() - start < 5000)
        sleep_ms(20);
    click(editor, IDC_EDITOR_EXIT_SAVE);
    CHECK(wait_window_gone(editor));
    std::string after = read_file(path_in(app, "songbook.cnr"));
    for (const std::string& row : rows)
        if (after.find("\r\n" + row + " \r\n") == std::string::npos)
            check_failed(__FILE__, __LINE__, "row lost: [" + printable(row) + "] in [" + printable(after) + "]");
    std::string last = "\r\n" + typed + " \r\n";
    CHECK_EQ_STR(after.substr(after.size() < last.size() ? 0 : after.size() - last.size()), last);
    app_stop(app);
}
