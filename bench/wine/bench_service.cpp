// Timings of "Print List" and "Export List" of the real program under Wine: a
// service of 30 songs from a generated library (not a test: scripts/bench.sh runs
// the suite "bench" and records what it prints).
#include "bench/wine/bench_wine.h"

#include <cstdio>

#include "resources/resource.h"
#include "bench/support/library_gen.h"

enum { SERVICE_SONGS = 30, SAVE_DIALOG_FILE_NAME = 0x47C };

// cups-pdf's folder as Wine sees it (scripts/cups-start.sh)
static const std::string pdf_folder = "Z:\\var\\spool\\cups-pdf\\out\\";

// Writes "songlist.txt" with these titles and key changes, presses "Load List"
// and waits for the rows; false when they did not come.
static bool load_song_list(const App& app, HWND home, const std::vector<std::pair<std::string, int>>& list)
{
    std::string file = ";SONG LIST FILE\r\n";
    for (size_t i = 0; i < list.size(); i++) {
        char lines[200];
        snprintf(lines, sizeof lines, "SONG%02d=%s\r\nKEYCHANGE%02d=%d\r\n", (int)i + 1, list[i].first.c_str(),
                 (int)i + 1, list[i].second);
        file += lines;
    }
    write_file(app.dir + "\\songlist.txt", file + ";END");
    click(home, IDC_LIST_LOAD);
    HWND songs = GetDlgItem(home, IDC_LIST_SONGS);
    DWORD start = GetTickCount();
    while (items_of(songs).size() != list.size() && GetTickCount() - start < 5000)
        Sleep(20);
    return items_of(songs).size() == list.size();
}

// The program has finished the command it was running once it answers a sent message.
static void wait_idle(HWND dialog)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result);
}

// cups-pdf writes the PDF as it goes: it is whole once it ends with its %%EOF mark.
static bool wait_whole_pdf(const std::string& path, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    do {
        std::string pdf = read_file(path);
        if (pdf.size() > 8 && pdf.find("%%EOF", pdf.size() - 8) != std::string::npos)
            return true;
        Sleep(10);
    } while (GetTickCount() - start < timeout_ms);
    return false;
}

// The PDF cups-pdf makes of today's Print List.
static std::string todays_service_pdf()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char name[40];
    snprintf(name, sizeof name, "SONG_LIST_%04d-%02d-%02d.pdf", now.wYear, now.wMonth, now.wDay);
    return pdf_folder + name;
}

static void bench_service(int songs)
{
    std::string library;
    double floor_ms;
    std::string dir = library_folder(songs, &library, &floor_ms);
    LARGE_INTEGER t;

    App app;
    HWND home = start_with_titles(app, dir, songs);
    REQUIRE(home);
    std::vector<std::pair<std::string, int>> list;
    for (int i = 0; i < SERVICE_SONGS; i++)
        list.push_back({library_title(1 + i * songs / SERVICE_SONGS), i % 12 - 5});
    REQUIRE(load_song_list(app, home, list));

    // the floor: one song of the list printed from the viewer, one page
    std::string first = list[0].first;
    std::string one_pdf = pdf_folder + first + ".pdf";
    for (char& c : one_pdf)
        if (c == ' ')
            c = '_';
    DeleteFileA(one_pdf.c_str());
    set_item_text_to(home, IDC_LIST_TITLES, first);
    click(home, IDC_LIST_REVIEW);
    HWND viewer = wait_dialog(app.pid, nullptr, IDC_VIEWER_PRINT);
    REQUIRE(viewer);
    wait_until([&] { return item_text(viewer, IDC_VIEWER_TITLE) == first; });
    click(viewer, IDC_VIEWER_PRINT);
    REQUIRE(press_print_dialog(app.pid, true) == "PDF");
    t = now_counter();
    wait_idle(viewer);
    double one_returned_ms = ms_since(t);
    CHECK(wait_whole_pdf(one_pdf, 120000));
    double one_pdf_ms = ms_since(t);
    DeleteFileA(one_pdf.c_str());
    click(viewer, IDC_VIEWER_RETURN);
    wait_window_gone(viewer);

    // Print List: from OK in the print dialog to the program's return, and to the whole PDF
    std::string pdf = todays_service_pdf();
    DeleteFileA(pdf.c_str());
    click(home, IDC_LIST_PRINT);
    REQUIRE(press_print_dialog(app.pid, true) == "PDF");
    t = now_counter();
    wait_idle(home);
    double spooled_ms = ms_since(t);
    CHECK(wait_whole_pdf(pdf, 120000));
    double printed_ms = ms_since(t);
    LONGLONG pdf_bytes = (LONGLONG)read_file(pdf).size();
    DeleteFileA(pdf.c_str());

    // Export List: from OK in the save dialog to the file in place
    std::string target = dir + "\\service.cho";
    click(home, IDC_LIST_EXPORT);
    HWND save = wait_dialog(app.pid, "Export List");
    REQUIRE(save);
    set_item_text_to(save, SAVE_DIALOG_FILE_NAME, target);
    t = now_counter();
    PostMessageA(save, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    CHECK(wait_file(target, 60000) != "<missing>");
    double exported_ms = ms_since(t);
    wait_idle(home);
    double export_idle_ms = ms_since(t);
    LONGLONG cho_bytes = (LONGLONG)read_file(target).size();
    app_stop(app);

    printf("BENCH wine service songs=%d bytes=%zu floor_ms=%.2f one_page_returned_ms=%.0f one_page_pdf_ms=%.0f "
           "print_returned_ms=%.0f print_pdf_ms=%.0f pdf_bytes=%lld export_file_ms=%.1f export_returned_ms=%.1f "
           "cho_bytes=%lld\n",
           songs, library.size(), floor_ms, one_returned_ms, one_pdf_ms, spooled_ms, printed_ms, pdf_bytes,
           exported_ms, export_idle_ms, cho_bytes);
    fflush(stdout);
}

GUI_TEST(bench, service_of_30_songs_from_1000) { bench_service(1000); }
GUI_TEST(bench, service_of_30_songs_from_10000) { bench_service(10000); }

// Pages of a PDF: its page objects, "/Type /Page" or "/Type/Page" but not "/Pages".
static int pdf_pages(const std::string& pdf)
{
    int pages = 0;
    for (size_t at = 0; (at = pdf.find("/Type", at)) != std::string::npos;) {
        at = pdf.find_first_not_of(' ', at + 5);
        pages += at != std::string::npos && pdf.compare(at, 5, "/Page") == 0 && pdf.compare(at, 6, "/Pages") != 0;
    }
    return pages;
}

// Print List of a service of 30 songs of real length (generate_hymn_library):
// from OK in the print dialog to the whole PDF, and the sheets it takes.
GUI_TEST(bench, print_list_of_30_real_length_songs)
{
    std::string dir = make_temp_dir();
    write_file(dir + "\\songbook.cnr", generate_hymn_library());
    App app;
    REQUIRE(app_start(app, dir));
    HWND home = wait_dialog(app.pid, "List of Songs Available", 0, 60000);
    REQUIRE(home);
    std::vector<std::pair<std::string, int>> list;
    for (int i = 1; i <= SERVICE_SONGS; i++)
        list.push_back({hymn_title(i), i % 5 - 2});
    REQUIRE(load_song_list(app, home, list));
    std::string pdf = todays_service_pdf();
    DeleteFileA(pdf.c_str());
    click(home, IDC_LIST_PRINT);
    REQUIRE(press_print_dialog(app.pid, true) == "PDF");
    LARGE_INTEGER t = now_counter();
    wait_idle(home);
    double spooled_ms = ms_since(t);
    CHECK(wait_whole_pdf(pdf, 120000));
    double printed_ms = ms_since(t);
    std::string bytes = read_file(pdf);
    DeleteFileA(pdf.c_str());
    app_stop(app);
    printf("BENCH wine print-list real-length songs=30 print_returned_ms=%.0f print_pdf_ms=%.0f pdf_bytes=%zu "
           "pages=%d\n", spooled_ms, printed_ms, bytes.size(), pdf_pages(bytes));
    fflush(stdout);
}
