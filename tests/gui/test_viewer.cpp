// The song viewer: title, key changes, running the list, paging, magnifying, what is painted.
#include "tests/gui/harness.h"

#include <cstdio>

#include "resources/resource.h"

GUI_TEST(viewer, probe)
{
    App app;
    HWND home = app_start_home(app);
    REQUIRE(home);
    HWND viewer = review_song(app, home, "amazing morning   ");
    REQUIRE(viewer);
    printf("title [%s]\n", item_text(viewer, IDC_VIEWER_TITLE).c_str());
    RECT r; GetWindowRect(viewer, &r); printf("rect %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    Capture shot = capture_settled(viewer);
    printf("shot %d x %d\n", shot.width, shot.height);
    save_capture_bmp(shot, "Z:\\tmp\\h4-viewer.bmp");
    printf("scrollpos %d update %d\n", GetScrollPos(viewer, SB_VERT), GetUpdateRect(viewer, nullptr, FALSE));
    app_stop(app);
}
