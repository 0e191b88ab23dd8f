// Printing from the viewer to the PDF printer of scripts/cups-start.sh: what lands on paper, pages, Cancel.
#include "tests/gui/harness.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resources/resource.h"

// cups-pdf's folder; Wine sees it through its drive Z:
static const char pdf_folder_unix[] = "/var/spool/cups-pdf/out/";

// The PDF printer prints A4 at 300 dots per inch: a device pixel is 0.24 pt.
static const double PT_PER_PIXEL = 72.0 / 300.0;

struct AppGuard {
    App& app;
    ~AppGuard() { app_stop(app); }
};

// A title of this run only, so that a PDF of another run is never taken for ours.
static std::string run_title(const char* name)
{
    char text[64];
    snprintf(text, sizeof text, "PRINT %s %lu", name, GetTickCount() % 1000000);
    return text;
}

// cups-pdf names the file after the document, blanks turned into underscores.
static std::string pdf_name(const std::string& title)
{
    std::string name = title;
    for (char& c : name)
        if (c == ' ')
            c = '_';
    return name + ".pdf";
}

static std::string wine_path(const std::string& unix_path)
{
    std::string path = "Z:" + unix_path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// One word of the PDF as pdftotext -bbox places it, in points from the page's top left.
struct Word {
    int page;
    double x, x_end, y;
    std::string text;
};

// A printed row rebuilt from its words: each word stands at the column that its
// left edge gives in the fixed-pitch grid that starts at the title's left edge.
struct Row {
    int page;
    double y;
    std::string text;
};

struct Printout {
    bool found = false;
    int pages = 0;
    std::vector<Word> words;
    std::vector<Row> rows;
};

static double attribute(const std::string& tag, const char* name)
{
    size_t at = tag.find(std::string(name) + "=\"");
    return at == std::string::npos ? -1 : atof(tag.c_str() + at + strlen(name) + 2);
}

static void parse_bbox(const std::string& html, Printout& out)
{
    size_t pos = 0;
    while ((pos = html.find('<', pos)) != std::string::npos) {
        size_t end = html.find('>', pos);
        if (end == std::string::npos)
            break;
        std::string tag = html.substr(pos, end - pos + 1);
        if (tag.rfind("<page ", 0) == 0)
            out.pages++;
        if (tag.rfind("<word ", 0) == 0) {
            size_t close = html.find("</word>", end);
            out.words.push_back({out.pages, attribute(tag, "xMin"), attribute(tag, "xMax"), attribute(tag, "yMin"),
                                 html.substr(end + 1, close - end - 1)});
        }
        pos = end + 1;
    }
}

static void build_rows(Printout& out)
{
    if (out.words.empty())
        return;
    double left = out.words[0].x, cell = 0;
    for (const Word& word : out.words) {
        if (word.x < left)
            left = word.x;
        double width = (word.x_end - word.x) / word.text.size();
        if (word.text.size() >= 4 && (cell == 0 || width < cell))
            cell = width;
    }
    if (cell <= 0)
        return;
    // pdftotext may give a page's words column by column: put them in rows
    std::vector<Word> words = out.words;
    std::stable_sort(words.begin(), words.end(), [](const Word& p, const Word& q) {
        if (p.page != q.page)
            return p.page < q.page;
        if (std::fabs(p.y - q.y) > 0.5)
            return p.y < q.y;
        return p.x < q.x;
    });
    for (const Word& word : words) {
        if (out.rows.empty() || out.rows.back().page != word.page || std::fabs(out.rows.back().y - word.y) > 0.5)
            out.rows.push_back({word.page, word.y, ""});
        std::string& text = out.rows.back().text;
        size_t column = (size_t)std::lround((word.x - left) / cell);
        if (text.size() < column)
            text.append(column - text.size(), ' ');
        else if (!text.empty())
            text += ' ';
        text += word.text;
    }
}

// Waits for the PDF of the document, lets cups finish the job, then reads it with
// pdftotext on the Unix side (Wine runs Unix programs but gives no handle to wait
// on: the command leaves a ".done" file when its output is complete).
static Printout read_printout(const std::string& title)
{
    Printout out;
    std::string pdf_unix = pdf_folder_unix + pdf_name(title);
    if (wait_file(wine_path(pdf_unix), 15000) == "<missing>")
        return out;
    char base[128];
    snprintf(base, sizeof base, "/tmp/cantoria-print-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    std::string b = base;
    std::string command = "for i in $(seq 100); do [ -z \\\"$(lpstat -o)\\\" ] && break; sleep 0.1; done; "
                          "pdftotext -bbox " + pdf_unix + " " + b + ".html; touch " + b + ".done";
    if (!run_unix_shell(command) || wait_file(wine_path(b + ".done"), 15000) == "<missing>")
        return out;
    out.found = true;
    parse_bbox(read_file(wine_path(b + ".html")), out);
    build_rows(out);
    for (const char* ext : {".html", ".done"})
        DeleteFileA(wine_path(b + ext).c_str());
    DeleteFileA(wine_path(pdf_unix).c_str());
    return out;
}

static std::vector<std::string> page_rows(const Printout& out, int page)
{
    std::vector<std::string> rows;
    for (const Row& row : out.rows)
        if (row.page == page)
            rows.push_back(row.text);
    return rows;
}

static std::string printed(const Printout& out)
{
    std::string text;
    for (const Row& row : out.rows)
        text += "\n    page " + std::to_string(row.page) + ": [" + row.text + "]";
    return text;
}

static const Word* find_word(const Printout& out, const std::string& text, int page = 0)
{
    for (const Word& word : out.words)
        if (word.text == text && (page == 0 || word.page == page))
            return &word;
    return nullptr;
}

static bool same_pt(double a, double b) { return std::fabs(a - b) < 0.3; }

// Presses "&* Print" and OK in the print dialog; false when no PDF printer answered.
static bool print_with_ok(App& app, HWND viewer)
{
    click(viewer, IDC_VIEWER_PRINT);
    std::string printer;
    PrintDialogResult result = press_print_dialog(app.pid, true, &printer);
    if (result == PRINT_DIALOG_NO_PRINTER)
        printf("    Wine sees no printer: is cupsd running (scripts/cups-start.sh)?\n");
    CHECK_EQ_INT(result, PRINT_DIALOG_PRESSED);
    CHECK_EQ_STR(printer, "PDF");
    return result == PRINT_DIALOG_PRESSED;
}

static std::string song(const std::string& title, const std::vector<std::string>& lines)
{
    std::string text = "::::: " + title + " :::::\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

static const std::vector<std::string> chord_song = {
    "        G       C       D< ",
    "        SING TO THE MORNING ",
};

GUI_TEST(print, prints_the_title_and_the_lines_as_last_painted)
{
    std::string title = run_title("AS SHOWN");
    std::string library = song(title, chord_song);
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    std::string typed = title;
    for (char& c : typed)
        c = (char)tolower(c);
    HWND viewer = review_song(app, home, typed + "   ");
    REQUIRE(viewer);
    click(viewer, IDC_VIEWER_NEXT_KEY);
    click(viewer, IDC_VIEWER_NEXT_KEY);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_STEPS, "2"), "2");
    sleep_ms(200);   // the repaint that transposes comes after the box is written
    REQUIRE(print_with_ok(app, viewer));
    Printout out = read_printout(title);
    REQUIRE(out.found);
    // one page: the title as the lookup left it, then the rows two half steps up,
    // the chords over their syllables
    CHECK_EQ_INT(out.pages, 1);
    std::vector<std::string> rows = page_rows(out, 1);
    if (rows.size() == 3) {
        CHECK_EQ_STR(rows[0], title);
        CHECK_EQ_STR(rows[1], "        A       D       E");
        CHECK_EQ_STR(rows[2], "        SING TO THE MORNING");
    } else {
        check_failed(__FILE__, __LINE__, "printout:" + printed(out));
    }
    // where: the title at (400, 200), row i at (400, 800 + i * 70) in device pixels
    const Word* first = find_word(out, "PRINT");
    const Word* chord = find_word(out, "A");
    const Word* lyric = find_word(out, "SING");
    REQUIRE(first && chord && lyric);
    CHECK(same_pt(first->x, 400 * PT_PER_PIXEL));
    CHECK(same_pt(chord->y - first->y, (800 + 70 - 200) * PT_PER_PIXEL));
    CHECK(same_pt(lyric->y - chord->y, 70 * PT_PER_PIXEL));
    CHECK(same_pt(lyric->x, chord->x));
    // the viewer is as it was
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_STEPS), "2");
}

GUI_TEST(print, run_prints_the_entrys_key_before_any_key_is_pressed)
{
    std::string title = run_title("RUN");
    std::string library = song(title, chord_song);
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    write_file(path_in(app, "songlist.txt"), ";SONG LIST FILE\r\nSONG01=" + title + "\r\nKEYCHANGE01=-5\r\n;END");
    click(home, IDC_LIST_LOAD);
    DWORD start = GetTickCount();
    while (list_items(GetDlgItem(home, IDC_LIST_SONGS)).size() != 1 && GetTickCount() - start < 5000)
        sleep_ms(20);
    click(home, IDC_LIST_RUN);
    HWND viewer = wait_dialog_with_child(app.pid, IDC_VIEWER_MAGNIFY_UP);
    REQUIRE(viewer);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_TITLE, title), title);
    sleep_ms(200);
    CHECK_EQ_STR(item_text(viewer, IDC_VIEWER_STEPS), "0");
    REQUIRE(print_with_ok(app, viewer));
    Printout out = read_printout(title);
    REQUIRE(out.found);
    std::vector<std::string> rows = page_rows(out, 1);
    CHECK_EQ_INT(out.pages, 1);
    REQUIRE(rows.size() == 3);
    CHECK_EQ_STR(rows[1], "        D       G       A");
}

GUI_TEST(print, the_print_size_follows_the_magnification)
{
    std::string title = run_title("SIZE");
    std::string library = song(title, chord_song);
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND viewer = review_song(app, home, title);
    REQUIRE(viewer);
    // level 6 (cell 20) and level 0 (cell 12): rows 100 and 60 device pixels apart
    struct Case { int presses; int id; int cell; } cases[] = {
        {4, IDC_VIEWER_MAGNIFY_UP, 20},
        {7, IDC_VIEWER_MAGNIFY_DOWN, 12},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < c.presses; i++)
            click(viewer, c.id);
        sleep_ms(400);   // the repaint sets the cell that the printing takes
        REQUIRE(print_with_ok(app, viewer));
        Printout out = read_printout(title);
        REQUIRE(out.found);
        const Word* first = find_word(out, "PRINT");
        const Word* chord = find_word(out, "G");
        const Word* lyric = find_word(out, "SING");
        REQUIRE(first && chord && lyric);
        CHECK(same_pt(chord->y - first->y, (800 + 5 * c.cell - 200) * PT_PER_PIXEL));
        CHECK(same_pt(lyric->y - chord->y, 5 * c.cell * PT_PER_PIXEL));
    }
}

GUI_TEST(print, a_long_song_goes_on_to_a_second_page)
{
    // 50 rows under the blank row 0; a page of 3508 pixels holds rows up to
    // y 800 + 37 * 70, whose cell ends at 3460; row 38 would end at 3530
    std::string title = run_title("LONG");
    std::vector<std::string> rows;
    for (int i = 1; i <= 50; i++) {
        char row[16];
        snprintf(row, sizeof row, "LINE%02d", i);
        rows.push_back(row);
    }
    std::string library = song(title, rows);
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND viewer = review_song(app, home, title);
    REQUIRE(viewer);
    sleep_ms(200);
    REQUIRE(print_with_ok(app, viewer));
    Printout out = read_printout(title);
    REQUIRE(out.found);
    REQUIRE(out.pages == 2);
    // every row once, in order; each page begins with the title
    std::vector<std::string> page_one = page_rows(out, 1), page_two = page_rows(out, 2);
    CHECK_EQ_INT(page_one.size(), 1 + 37);
    CHECK_EQ_INT(page_two.size(), 1 + 13);
    std::vector<std::string> all;
    for (const std::vector<std::string>* page : {&page_one, &page_two}) {
        REQUIRE(!page->empty());
        CHECK_EQ_STR((*page)[0], title);
        all.insert(all.end(), page->begin() + 1, page->end());
    }
    REQUIRE(all.size() == rows.size());
    for (size_t i = 0; i < rows.size(); i++)
        CHECK_EQ_STR(all[i], rows[i]);
    // the second page has the first page's layout: title at y 200, rows from y 800
    const Word* title_two = find_word(out, "PRINT", 2);
    const Word* row_38 = find_word(out, "LINE38", 2);
    const Word* row_37 = find_word(out, "LINE37", 1);
    const Word* title_one = find_word(out, "PRINT", 1);
    REQUIRE(title_two && row_38 && row_37 && title_one);
    CHECK(same_pt(title_two->y, title_one->y));
    CHECK(same_pt(row_38->y - title_two->y, (800 - 200) * PT_PER_PIXEL));
    CHECK(same_pt(row_37->y - title_one->y, (800 + 37 * 70 - 200) * PT_PER_PIXEL));
}

GUI_TEST(print, cancel_prints_nothing)
{
    std::string title = run_title("CANCEL");
    std::string library = song(title, chord_song);
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND viewer = review_song(app, home, title);
    REQUIRE(viewer);
    std::string pdf = wine_path(pdf_folder_unix + pdf_name(title));
    click(viewer, IDC_VIEWER_PRINT);
    CHECK_EQ_INT(press_print_dialog(app.pid, false), PRINT_DIALOG_PRESSED);
    // no file, no message; the viewer goes on
    sleep_ms(1500);
    CHECK(!file_exists(pdf));
    std::vector<HWND> open = dialogs_of(app.pid);
    CHECK_EQ_INT(open.size(), 2);
    click(viewer, IDC_VIEWER_NEXT_KEY);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_STEPS, "1"), "1");
    // and the next print goes through
    REQUIRE(print_with_ok(app, viewer));
    Printout out = read_printout(title);
    CHECK(out.found);
}

// ---- "Print List": the whole service in one job ------------------------------------

// The list print's document: "SONG LIST" and today's date.
static std::string song_list_document()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char name[40];
    snprintf(name, sizeof name, "SONG LIST %04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    DeleteFileA(wine_path(pdf_folder_unix + pdf_name(name)).c_str());   // one of an earlier run
    return name;
}

// Loads the list (titles and key changes), presses "Print List" and OK, and
// reads the printout back.
static Printout print_list(App& app, HWND home, const std::vector<std::pair<std::string, int>>& list)
{
    if (!load_song_list(app, home, list))
        return Printout();
    std::string document = song_list_document();
    click(home, IDC_LIST_PRINT);
    std::string printer;
    if (press_print_dialog(app.pid, true, &printer) != PRINT_DIALOG_PRESSED || printer != "PDF")
        return Printout();
    return read_printout(document);
}

GUI_TEST(print, print_list_prints_the_running_order_and_each_song_in_its_key)
{
    std::string a = run_title("LIST A"), b = run_title("LIST B"), c = run_title("LIST C");
    std::string library = song(a, chord_song) + song(b, chord_song) + song(c, chord_song);
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    // an empty list prints nothing and says so
    click(home, IDC_LIST_PRINT);
    std::string text;
    CHECK(close_message_box(app.pid, "PRINT LIST", &text));
    CHECK(text.rfind("The song list is empty", 0) == 0);

    Printout out = print_list(app, home, {{a, 2}, {b, 0}, {c, -3}});
    REQUIRE(out.found);
    CHECK_EQ_INT(out.pages, 4);
    std::vector<std::string> order = page_rows(out, 1);
    if (order.size() == 5) {
        CHECK_EQ_STR(order[0], "SONG LIST");
        CHECK_EQ_STR(order[2], " 1.  +2  " + a);
        CHECK_EQ_STR(order[3], " 2.   0  " + b);
        CHECK_EQ_STR(order[4], " 3.  -3  " + c);
    } else {
        check_failed(__FILE__, __LINE__, "running order:" + printed(out));
    }
    // each song on a page of its own, its chords moved over the same syllables
    struct Expected { std::string title, chords; } songs[] = {
        {a + "  (+2)", "        A       D       E"},
        {b + "  (0)", "        G       C       D"},
        {c + "  (-3)", "        E       A       B"},
    };
    for (int page = 2; page <= 4; page++) {
        std::vector<std::string> rows = page_rows(out, page);
        const Expected& want = songs[page - 2];
        REQUIRE(rows.size() == 3);
        CHECK_EQ_STR(rows[0], want.title);
        CHECK_EQ_STR(rows[1], want.chords);
        CHECK_EQ_STR(rows[2], "        SING TO THE MORNING");
    }
    // the song page's layout: the title at (400, 200), row 1 at y 800 + 70
    const Word* title = find_word(out, "PRINT", 2);
    const Word* sing = find_word(out, "SING", 2);
    REQUIRE(title && sing);
    CHECK(same_pt(title->x, 400 * PT_PER_PIXEL));
    CHECK(same_pt(sing->y - title->y, (800 + 2 * 70 - 200) * PT_PER_PIXEL));
}

GUI_TEST(print, print_list_keeps_chord_rows_with_their_words_and_marks_songs_not_found)
{
    // chord rows at odd rows under the blank row 0: row 37, the last a page
    // holds, is a chord row, so it starts the song's second page with its words
    std::string title = run_title("LIST LONG");
    std::vector<std::string> rows;
    for (int i = 1; i <= 25; i++) {
        char row[40];
        snprintf(row, sizeof row, "   C       G%d< ", i);
        rows.push_back(row);
        snprintf(row, sizeof row, "   WORDS OF LINE %d ", i);
        rows.push_back(row);
    }
    std::string library = song(title, rows);
    App app;
    AppGuard guard{app};
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    Printout out = print_list(app, home, {{title, 1}, {"NO SUCH SONG", 0}});
    REQUIRE(out.found);
    REQUIRE(out.pages == 4);
    std::vector<std::string> order = page_rows(out, 1);
    REQUIRE(order.size() == 5);
    CHECK_EQ_STR(order[3], " 2.   0  NO SUCH SONG");
    CHECK_EQ_STR(order[4], "         Song Not Found");
    std::vector<std::string> first = page_rows(out, 2), second = page_rows(out, 3);
    REQUIRE(first.size() == 1 + 36 && second.size() == 1 + 14);
    CHECK_EQ_STR(first.back(), "   WORDS OF LINE 18");
    CHECK_EQ_STR(second[0], title + "  (+1)");
    CHECK_EQ_STR(second[1], "   C#      G#19");
    CHECK_EQ_STR(second[2], "   WORDS OF LINE 19");
    std::vector<std::string> missing = page_rows(out, 4);
    REQUIRE(missing.size() == 2);
    CHECK_EQ_STR(missing[0], "NO SUCH SONG  (0)");
    CHECK_EQ_STR(missing[1], "Song Not Found");
}
