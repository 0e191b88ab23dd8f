// The printed page layout: rows on pages and columns, letters fitted to the paper (cases in
// tests/cases/page_layout.txt).
#include "layout/page_layout.h"

#include <cstring>

#include "tests/support/test_files.h"

namespace {

using LayOutPages = InTempDir;
SongRows rows;
char raw[LINE_ROWS][LINE_WIDTH], shown[LINE_ROWS][LINE_WIDTH];

// Rows of kinds c chord, l lyric, : label, . blank; "viewer N": the viewer's page
// of A4 at 300 dpi, rows N high; "columns N C": C columns of N rows. Each row's
// column counted over the song (0-9, then a-z), or '-' when left out.
TABLE_TEST(LayOutPages, PutsTheRowsOfTheTableOnPages, "page_layout", "lay_out_pages")
{
    rows.count = (int)c[0].size();
    for (int i = 0; i < rows.count; i++) {
        rows.kind[i] = c[0][i] == 'c' ? ROW_CHORD : c[0][i] == '.' ? ROW_BLANK : ROW_LYRIC;
        rows.label[i] = c[0][i] == ':';
    }
    PagePlan plan;
    int a = 0, b = 0;
    if (sscanf(c[1].c_str(), "viewer %d", &a) == 1)
        viewer_plan(3508, a, &plan);
    else if (sscanf(c[1].c_str(), "columns %d %d", &a, &b) == 2)
        plan = {0, 0, 100, 10, a, b, {50, 500}, false};
    static PageLayout layout;
    lay_out_pages(&rows, &plan, &layout);
    std::string columns;
    int pages = 1;
    for (int i = 0, last = -1, on_column = 0; i < rows.count; i++) {
        int column = layout.page[i] * plan.columns + (layout.x[i] == plan.column_x[1] && plan.columns == 2);
        on_column = column == last ? on_column + 1 : 0;
        columns += layout.page[i] < 0 ? '-' : "0123456789abcdefghijklmnopqrstuvwxyz"[column];
        if (layout.page[i] >= 0) {
            EXPECT_EQ(layout.y[i], plan.rows_y + on_column * plan.row_height) << "row " << i;
            pages = layout.page[i] + 1;
        }
        last = layout.page[i] < 0 ? last : column;
    }
    EXPECT_EQ(layout.pages, pages);
    return columns;
}

// The letters a driver draws: exactly as asked, or its own face a tenth wider.
int measure_exact(void*, const Letters* letters, const char*, int length) { return length * letters->width; }
int measure_wider(void*, const Letters* letters, const char*, int length) { return length * (letters->width * 11 + 9) / 10; }

// A song of `count` rows: a label, then chord rows over lyric rows, a blank
// between verses; the lyric rows `width` characters wide, one of them 99 wide when asked.
void make_song(int count, int width, bool widest_99)
{
    for (int i = 0; i < count; i++) {
        int n = i % 10 == 0 ? 0 : i % 10 == 1 ? 8 : i % 2 == 0 ? width * 2 / 3 : width;
        n = widest_99 && i == count / 2 + 1 ? 99 : n;
        memset(raw[i], i % 2 == 0 ? 'G' : 'w', (size_t)n);
        raw[i][n] = 0;
        if (i % 10 == 1)
            memcpy(raw[i], "Verse 2:", 8);
        else if (i % 2 == 0 && n > 0)
            raw[i][n - 1] = '<';
        memcpy(shown[i], raw[i], sizeof raw[i]);
    }
    song_rows(raw, shown, count, &rows);
}

// Every row whole inside the printable area, each placed once and in order, none
// above its header, no chord row or label parted from the row beneath, no column
// starting with a blank row; the header inside too.
void check_song(const PrinterPage& page, const SongPrint& print, MeasureText measure, const char* key)
{
    const PageLayout& l = print.layout;
    const PagePlan& p = print.plan;
    char header[HEADER_SIZE];
    page_header("A TITLE OF SOME LENGTH", key, l.pages, l.pages, header, sizeof header);
    EXPECT_LE(p.title_x + measure(nullptr, &print.header_letters, header, (int)strlen(header)), page.printable_width);
    for (int i = 0, last = -1; i < rows.count; i++) {
        if (l.page[i] < 0) {
            EXPECT_EQ(rows.kind[i], ROW_BLANK) << "row " << i;
            continue;
        }
        int length = printed_length(shown[i]);
        EXPECT_LE(l.x[i] + measure(nullptr, &print.letters, shown[i], length), page.printable_width) << "row " << i;
        EXPECT_GE(l.y[i], p.title_y + print.header_letters.height) << "row " << i;
        EXPECT_LE(l.y[i] + p.row_height, page.printable_height) << "row " << i;
        if (last >= 0 && l.page[i] == l.page[last] && l.x[i] == l.x[last]) {
            EXPECT_EQ(l.y[i], l.y[last] + p.row_height) << "row " << i;
        } else if (last >= 0) {
            EXPECT_TRUE(l.page[i] > l.page[last] || l.x[i] > l.x[last]) << "row " << i;
        }
        bool column_start = last < 0 || l.page[i] != l.page[last] || l.x[i] != l.x[last];
        EXPECT_FALSE(column_start && rows.kind[i] == ROW_BLANK && !(i == 0 && p.first_row_stays)) << "row " << i;
        bool held = (rows.kind[last < 0 ? 0 : last] == ROW_CHORD && rows.kind[i] == ROW_LYRIC) ||
                    (rows.label[last < 0 ? 0 : last] && rows.kind[i] != ROW_BLANK);
        EXPECT_FALSE(column_start && last == i - 1 && last >= 0 && held) << "row " << i << " parted";
        last = i;
    }
}

using PlanSong = InTempDir;

// A printer as GetDeviceCaps tells it, the driver's letters, then for each song
// (rows x width) the letters at magnifications 0, 2 and 6: height x width, columns, pages, and
// "viewer" where "* Print" keeps the viewer's own page.
TABLE_TEST(PlanSong, FitsEveryRowOfTheTableOnThePaper, "page_layout", "plan_song")
{
    PrinterPage page;
    sscanf(c[0].c_str(), "%d %d %d %d %d %d %d %d", &page.paper_width, &page.paper_height, &page.offset_x,
           &page.offset_y, &page.printable_width, &page.printable_height, &page.dpi_x, &page.dpi_y);
    MeasureText measure = c[1] == "wider" ? measure_wider : measure_exact;
    PageFrame frame;
    page_frame(&page, &frame);
    int count = 0, width = 0;
    char wide = 0;
    sscanf(c[2].c_str(), "%d x %d%c", &count, &width, &wide);
    make_song(count, width, wide == '+');
    std::string out;
    for (Letters wanted : {Letters{60, 45, false}, Letters{70, 55, false}, Letters{100, 75, false}}) {
        static SongPrint print;
        plan_song(&rows, shown, "A TITLE OF SOME LENGTH", "+2", &frame, wanted, measure, nullptr, &print);
        check_song(page, print, measure, "+2");
        EXPECT_GE(print.letters.height, std::min(frame.floor_height, wanted.height));
        out += (out.empty() ? "" : ", ") + std::to_string(print.letters.height) + "x" +
               std::to_string(print.letters.width) + " " + std::to_string(print.plan.columns) + " " +
               std::to_string(print.layout.pages);
        // the viewer's own page only where all of it fits
        if (plan_viewer_page(&rows, shown, "A TITLE OF SOME LENGTH", &page, wanted, measure, nullptr, &print)) {
            check_song(page, print, measure, "");
            out += " viewer";
        }
    }
    return out;
}

using RowKindOf = InTempDir;

TABLE_TEST(RowKindOf, TellsTheRowsOfTheTable, "page_layout", "row_kind")
{
    RowKind kind = row_kind(c[0].c_str());
    return kind == ROW_CHORD ? "chord" : kind == ROW_LYRIC ? "lyric" : "blank";
}

}  // namespace
