// Timings of the real program under Wine over generated libraries (not a test:
// scripts/bench.sh runs the suite "bench" and records what it prints).
#include "bench/wine/bench_wine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "resources/resource.h"
#include "bench/support/library_gen.h"

double ms_since(LARGE_INTEGER start)
{
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    return 1000.0 * (double)(now.QuadPart - start.QuadPart) / (double)freq.QuadPart;
}

static double seconds_since(LARGE_INTEGER start)
{
    return ms_since(start) / 1000.0;
}

LARGE_INTEGER now_counter()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

HWND start_with_titles(App& app, const std::string& dir, int songs)
{
    if (!app_start(app, dir))
        return nullptr;
    HWND home = wait_dialog(app.pid, "List of Songs Available", 0, 60000);
    DWORD_PTR count = 0;
    for (DWORD start = GetTickCount(); home && (int)count != songs && GetTickCount() - start < 60000; Sleep(5))
        SendMessageTimeoutA(GetDlgItem(home, IDC_LIST_TITLES), CB_GETCOUNT, 0, 0, SMTO_NORMAL, 60000, &count);
    return home;
}

std::string library_folder(int songs, std::string* library, double* floor_ms)
{
    std::string dir = make_temp_dir();
    *library = generate_library(songs);
    write_file(dir + "\\songbook.cnr", *library);
    LARGE_INTEGER t = now_counter();
    std::string again = read_file(dir + "\\songbook.cnr");
    *floor_ms = ms_since(t);
    return dir;
}

// Runs a dialog's command to its end: a sent command is handled before the call
// returns, and UpdateWindow then waits for the repaint it asked for.
static void run_command(HWND dialog, int id)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id),
                        SMTO_NORMAL, 60000, &result);
    UpdateWindow(dialog);
}

static LONGLONG file_size(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// Find with these words, sent and so run to its end, until the title box is
// repainted; the median of three runs in milliseconds (the machine's other work
// moves a single run a lot). Checks the number of entries.
static double find_ms(HWND home, const char* words, int want_entries)
{
    double runs[3];
    for (double& ms : runs) {
        set_item_text_to(home, IDC_LIST_TITLES, words);
        LARGE_INTEGER t = now_counter();
        run_command(home, IDC_LIST_FIND);
        ms = seconds_since(t) * 1000;
    }
    DWORD_PTR count = 0;
    SendMessageTimeoutA(GetDlgItem(home, IDC_LIST_TITLES), CB_GETCOUNT, 0, 0, SMTO_NORMAL, 60000, &count);
    CHECK_EQ(std::to_string(count), std::to_string(want_entries));
    std::sort(runs, runs + 3);
    return runs[1];
}

static void bench_library(int songs)
{
    std::string dir = make_temp_dir();
    std::string library = generate_library(songs);
    write_file(dir + "\\songbook.cnr", library);

    // a plain buffered read of the same file, the floor
    LARGE_INTEGER t = now_counter();
    std::string again = read_file(dir + "\\songbook.cnr");
    double floor_s = seconds_since(t);

    App app;
    t = now_counter();
    REQUIRE(app_start(app, dir));
    HWND home = wait_dialog(app.pid, "List of Songs Available", 0, 60000);
    REQUIRE(home);
    HWND titles = GetDlgItem(home, IDC_LIST_TITLES);
    DWORD_PTR count = 0;
    while (seconds_since(t) < 60) {
        SendMessageTimeoutA(titles, CB_GETCOUNT, 0, 0, SMTO_NORMAL, 60000, &count);
        if ((int)count == songs)
            break;
        Sleep(2);
    }
    double start_s = seconds_since(t);
    CHECK_EQ(std::to_string(count), std::to_string(songs));

    // Find: words of one song (every line of every song read), words of no
    // song, words of every song (every title added), then every title again
    std::string one_song = "song " + library_title(songs).substr(5);
    double find_one = find_ms(home, one_song.c_str(), 1);
    double find_none = find_ms(home, "zebra", 0);
    double find_every = find_ms(home, "Mercy, GRACE", songs);
    double find_all = find_ms(home, "", songs);
    printf("BENCH wine-find songs=%d one_ms=%.1f none_ms=%.1f every_ms=%.1f empty_ms=%.1f\n", songs, find_one,
           find_none, find_every, find_all);

    // Review of the last song: until the viewer shows its title
    std::string last = library_title(songs);
    set_item_text_to(home, IDC_LIST_TITLES, last);
    t = now_counter();
    click(home, IDC_LIST_REVIEW);
    HWND viewer = wait_dialog(app.pid, nullptr, IDC_VIEWER_PRINT, 60000);
    REQUIRE(viewer);
    wait_until([&] { return item_text(viewer, IDC_VIEWER_TITLE) == last; }, 60000);
    UpdateWindow(viewer);
    double review_s = seconds_since(t);

    // every count from 1 to 12, then 0 and -1 to -11: 24 key changes, each repainted
    t = now_counter();
    for (int i = 0; i < 13; i++)
        run_command(viewer, IDC_VIEWER_NEXT_KEY);
    for (int i = 0; i < 11; i++)
        run_command(viewer, IDC_VIEWER_PREV_KEY);
    double keys_s = seconds_since(t) / 24;
    click(viewer, IDC_VIEWER_RETURN);
    wait_window_gone(viewer);

    // a save of a change to the last song, title list refilled
    set_item_text_to(home, IDC_LIST_TITLES, last);
    click(home, IDC_LIST_EDIT);
    HWND editor = wait_dialog(app.pid, nullptr, IDC_EDITOR_TEXT, 60000);
    REQUIRE(editor);
    wait_until([&] { return item_text(editor, IDC_EDITOR_TITLE) == last; }, 60000);
    Sleep(200);
    set_item_text_to(editor, IDC_EDITOR_TEXT, "A  D<\r\nchanged");
    t = now_counter();
    run_command(editor, IDC_EDITOR_SAVE);
    double save_s = seconds_since(t);
    std::string failure;
    if (close_message_box(app.pid, "SAVE SONG", &failure, 200))
        printf("    the save failed: %s\n", failure.c_str());
    CHECK(read_file(dir + "\\songbook.cnr").find("changed \r\n") != std::string::npos);
    CHECK_EQ(std::to_string(file_size(dir + "\\oldbook.cnr")), std::to_string(library.size()));
    click(editor, IDC_EDITOR_CANCEL);
    app_stop(app);

    printf("BENCH wine songs=%d bytes=%zu floor_ms=%.2f start_ms=%.1f review_ms=%.1f key_ms=%.2f save_ms=%.1f\n",
           songs, library.size(), floor_s * 1000, start_s * 1000, review_s * 1000, keys_s * 1000, save_s * 1000);
    fflush(stdout);
}

GUI_TEST(bench, library_of_1000_songs) { bench_library(1000); }
GUI_TEST(bench, library_of_10000_songs) { bench_library(10000); }
GUI_TEST(bench, library_of_50000_songs) { bench_library(50000); }

// The floor of a safe write under Wine: the library copied once by the test
// program and flushed to the disk.
static double flushed_copy_seconds(const std::string& from, const std::string& to)
{
    LARGE_INTEGER t = now_counter();
    CopyFileA(from.c_str(), to.c_str(), FALSE);
    HANDLE copy = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (copy != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(copy);
        CloseHandle(copy);
    }
    double s = seconds_since(t);
    DeleteFileA(to.c_str());
    return s;
}

// Import... of 100 ChordPro files into a library of 10,000 songs: from Open in
// the open dialog to the summary box, the title box refilled before it shows.
GUI_TEST(bench, import_100_files_into_10000_songs)
{
    const int songs = 10000;
    const int files = 100;
    std::string dir = make_temp_dir();
    std::string library = generate_library(songs);
    write_file(dir + "\\songbook.cnr", library);
    std::string folder = dir + "\\chordpro";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string names;
    for (int i = 1; i <= files; i++) {
        char name[32];
        snprintf(name, sizeof name, "song%03d.cho", i);
        write_file(folder + "\\" + name, generate_chordpro_song(i));
        names += std::string("\"") + name + "\" ";
    }
    double floor_s = flushed_copy_seconds(dir + "\\songbook.cnr", dir + "\\copy.cnr");

    App app;
    REQUIRE(app_start(app, dir));
    HWND home = wait_dialog(app.pid, "List of Songs Available", 0, 60000);
    REQUIRE(home);
    HWND titles = GetDlgItem(home, IDC_LIST_TITLES);
    DWORD_PTR count = 0;
    LARGE_INTEGER t = now_counter();
    while (seconds_since(t) < 60 && (int)count != songs) {
        SendMessageTimeoutA(titles, CB_GETCOUNT, 0, 0, SMTO_NORMAL, 60000, &count);
        Sleep(2);
    }
    click(home, IDC_LIST_IMPORT);
    HWND open = wait_dialog(app.pid, nullptr, 0x47C);
    REQUIRE(open);
    set_item_text_to(open, 0x47C, folder);
    click(open, IDOK);
    Sleep(500);
    set_item_text_to(open, 0x47C, names);
    t = now_counter();
    click(open, IDOK);
    wait_window_gone(open, 60000);
    double dialog_s = seconds_since(t);
    HWND box = wait_dialog(app.pid, "IMPORT", 0, 60000);
    double import_s = seconds_since(t);
    REQUIRE(box);
    std::string summary;
    close_message_box(app.pid, "IMPORT", &summary);
    CHECK_EQ(summary, "100 songs were added to the library.");
    SendMessageTimeoutA(titles, CB_GETCOUNT, 0, 0, SMTO_NORMAL, 60000, &count);
    CHECK_EQ(std::to_string(count), std::to_string(songs + files));
    app_stop(app);

    printf("BENCH wine import files=%d songs=%d bytes=%zu floor_copy_flushed_ms=%.1f dialog_closed_ms=%.1f "
           "import_ms=%.1f\n",
           files, songs, library.size(), floor_s * 1000, dialog_s * 1000, import_s * 1000);
    fflush(stdout);
}
