// Hand-edited and broken files through the real program: each library of the
// fixtures is listed, its songs opened, a broken song list loaded, and the
// program ends normally with every file as it was.
#include "tests/gui/harness.h"

#include <cstdlib>

#include "resources/resource.h"

// The fixtures folder of the source tree, as Wine sees it (Z: is the Unix root).
static std::string fixture_path(const char* name)
{
    const char* root = getenv("CANTORIA_FIXTURES");
    return std::string("Z:") + (root ? root : "/nonexistent") + "/hostile/" + name;
}

// Opens the viewer on the title and goes back; false if the viewer never came.
static bool review(App& app, HWND home, const std::string& title)
{
    set_item_text_to(home, IDC_LIST_TITLES, title);
    click(home, IDC_LIST_REVIEW);
    HWND viewer = wait_dialog_with_child(app.pid, IDC_VIEWER_PRINT, 10000);
    if (!viewer)
        return false;
    wait_item_text(viewer, IDC_VIEWER_TITLE, "title", 300);
    click(viewer, IDC_VIEWER_NEXT_KEY);
    click(viewer, IDC_VIEWER_PAGE_DOWN);
    click(viewer, IDC_VIEWER_RETURN);
    return wait_window_gone(viewer);
}

static void run_library(const std::string& library, const std::string& songlist)
{
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    write_file(path_in(app, "songlist.txt"), songlist);
    std::vector<std::string> titles = combo_items(GetDlgItem(home, IDC_LIST_TITLES));
    for (size_t i = 0; i < titles.size() && i < 3; i++)
        CHECK(review(app, home, titles[i]));
    CHECK(review(app, home, "NOT IN THIS LIBRARY"));
    click(home, IDC_LIST_LOAD);
    sleep_ms(300);
    CHECK(list_items(GetDlgItem(home, IDC_LIST_SONGS)).size() <= 30);
    click(home, IDC_LIST_RUN);
    HWND viewer = wait_dialog_with_child(app.pid, IDC_VIEWER_PRINT, 10000);
    CHECK(viewer != nullptr);
    if (viewer) {
        for (int i = 0; i < 3; i++)
            click(viewer, IDC_VIEWER_NEXT_SONG);
        click(viewer, IDC_VIEWER_RETURN);
        CHECK(wait_window_gone(viewer));
    }
    click(home, IDC_LIST_EXIT);
    CHECK_EQ_INT(app_wait_exit(app), 0);
    CHECK(read_file(path_in(app, "songbook.cnr")) == library);
    CHECK(read_file(path_in(app, "songlist.txt")) == songlist);
    CHECK(!file_exists(path_in(app, "temp.cnr")));
    app_stop(app);
}

GUI_TEST(hostile, every_fixture_library)
{
    const char* libraries[] = {"empty.cnr", "nul-bytes.cnr", "only-colons-and-asterisks.cnr", "end-mark-first.cnr",
                               "invalid-8bit.cnr", "no-line-end.cnr", "only-line-ends.cnr", "long-title.cnr"};
    const char* lists[] = {"odd-numbers.txt", "thousand-songs.txt", "long-title.txt"};
    int i = 0;
    for (const char* name : libraries) {
        std::string library = read_file(fixture_path(name));
        CHECK(library != "<missing>");
        printf("    library %s\n", name);
        run_library(library, read_file(fixture_path(lists[i++ % 3])));
    }
}

GUI_TEST(hostile, a_five_megabyte_line_and_many_titles)
{
    std::string library = "::::: BIG :::::\r\n" + std::string(5 * 1024 * 1024, 'x') + "\r\n";
    char line[64];
    for (int i = 0; i < 20000; i++) {
        snprintf(line, sizeof line, "::::: T%06d :::::\r\n", i);
        library += line;
    }
    run_library(library, std::string(4096, '\0'));
}
