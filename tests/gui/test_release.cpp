// The release: the cantoria.exe unpacked from the zip starts by itself in an empty folder.
#include "tests/gui/harness.h"

#include "resources/resource.h"

GUI_TEST(release, the_unpacked_program_starts_in_an_empty_folder)
{
    App app;
    HWND home = app_start_home(app);
    REQUIRE(home);
    CHECK(find_top_window(app.pid, "MainClass", "VORDA MUSIC Book") != nullptr);
    CHECK(read_file(path_in(app, "songbook.cnr")).find("Example Song:\r\n") != std::string::npos);
    CHECK_EQ_INT(combo_items(GetDlgItem(home, IDC_LIST_TITLES)).size(), 1);
    click(home, IDC_LIST_EXIT);
    CHECK_EQ_INT(app_wait_exit(app), 0);
    app_stop(app);
}

GUI_TEST(release, the_program_carries_its_version)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(program_path, &handle);
    REQUIRE(size > 0);
    std::string data(size, '\0');
    REQUIRE(GetFileVersionInfoA(program_path, 0, size, &data[0]));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    REQUIRE(VerQueryValueA(data.data(), "\\", (void**)&fixed, &len));
    CHECK_EQ_INT(HIWORD(fixed->dwFileVersionMS), 1);
    CHECK_EQ_INT(LOWORD(fixed->dwFileVersionMS), 1);
    char* product = nullptr;
    REQUIRE(VerQueryValueA(data.data(), "\\StringFileInfo\\040904E4\\ProductName", (void**)&product, &len));
    CHECK_EQ_STR(product, "Cantoria");
}
