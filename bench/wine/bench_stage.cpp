// Timings of the stage view of the real program under Wine: a pedal press to the
// next screen and to the next song painted, in a generated library (not a test:
// scripts/bench.sh runs the suite "bench" and records what it prints).
#include "bench/wine/bench_wine.h"

#include <algorithm>
#include <cstdio>

#include "resources/resource.h"
#include "bench/support/library_gen.h"

static std::string caption(HWND window)
{
    static wchar_t wide[512];
    static char text[512];
    wide[0] = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, (LPARAM)wide, SMTO_ABORTIFHUNG, 3000, nullptr);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

// A pedal's key, sent so that it is handled before the call returns, then the
// repaint it asked for; milliseconds from the press to the screen painted.
static double press_ms(HWND stage, WPARAM key)
{
    LARGE_INTEGER t = now_counter();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(stage, WM_KEYDOWN, key, 0, SMTO_NORMAL, 60000, &result);
    UpdateWindow(stage);
    return ms_since(t);
}

static double median(std::vector<double> runs)
{
    std::sort(runs.begin(), runs.end());
    return runs.empty() ? 0 : runs[runs.size() / 2];
}

// A running order of three songs spread over the library, its second the
// library's last song (the lookup reads the whole file for it); the pedal goes
// through it forward and back three times.
static void bench_stage(int songs)
{
    std::string library;
    double floor_ms;
    std::string dir = library_folder(songs, &library, &floor_ms);
    std::string titles[3] = {library_title(1), library_title(songs), library_title(songs / 2)};
    write_file(dir + "\\songlist.txt", ";SONG LIST FILE\r\nSONG01=" + titles[0] + "\r\nKEYCHANGE01=2\r\nSONG02=" +
                                           titles[1] + "\r\nKEYCHANGE02=-3\r\nSONG03=" + titles[2] +
                                           "\r\nKEYCHANGE03=0\r\n;END");

    App app;
    HWND home = start_with_titles(app, dir, songs);
    REQUIRE(home);
    click(home, IDC_LIST_LOAD);
    REQUIRE(wait_until([&] { return items_of(GetDlgItem(home, IDC_LIST_SONGS)).size() == 3; }));
    click(home, IDC_LIST_RUN);
    HWND viewer = wait_dialog(app.pid, nullptr, IDC_VIEWER_STAGE);
    REQUIRE(viewer && wait_until([&] { return item_text(viewer, IDC_VIEWER_TITLE) == titles[0]; }));
    click(viewer, IDC_VIEWER_STAGE);
    HWND stage = nullptr;
    REQUIRE(wait_until([&] { return (stage = FindWindowA("CantoriaStage", nullptr)) != nullptr; }));

    std::vector<double> screen_runs, song_runs[3];   // song runs by the song they go to
    int at = 0;
    for (int round = 0; round < 6; round++) {
        WPARAM key = round % 2 == 0 ? VK_NEXT : VK_PRIOR;
        for (int step = 0; step < 2; step++) {
            press_ms(stage, key == VK_NEXT ? VK_HOME : VK_END);    // the song's first (last) screen
            screen_runs.push_back(press_ms(stage, key));        // to the song's other screen
            press_ms(stage, key);                               // the first press past its end
            CHECK(caption(stage).find("press again for") != std::string::npos);
            double ms = press_ms(stage, key);                   // the second: the next song painted
            at += key == VK_NEXT ? 1 : -1;
            song_runs[at].push_back(ms);
            CHECK(caption(stage).rfind(titles[at] + " ", 0) == 0);
        }
    }
    app_stop(app);
    printf("BENCH wine stage songs=%d bytes=%zu floor_ms=%.2f screen_ms=%.1f to_first_song_ms=%.1f "
           "to_last_song_ms=%.1f to_middle_song_ms=%.1f\n",
           songs, library.size(), floor_ms, median(screen_runs), median(song_runs[0]), median(song_runs[1]),
           median(song_runs[2]));
    fflush(stdout);
}

GUI_TEST(bench, stage_pedal_in_10000_songs) { bench_stage(10000); }
