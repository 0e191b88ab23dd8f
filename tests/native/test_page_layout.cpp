// The printed page layout: rows on pages, chord rows kept with their words (cases in
// tests/cases/page_layout.txt).
#include "layout/page_layout.h"

#include "tests/support/test_files.h"

namespace {

using LayOutPages = InTempDir;

// The page of each row; each page's rows must follow each other from y 800.
TABLE_TEST(LayOutPages, PutsTheRowsOfTheTableOnPages, "page_layout", "lay_out_pages")
{
    int rows = (int)c[0].size(), cell = std::stoi(c[1]), on_page = 0;
    RowKind kinds[LINE_ROWS];
    for (int i = 0; i < rows; i++)
        kinds[i] = c[0][i] == 'c' ? ROW_CHORD : c[0][i] == 'l' ? ROW_LYRIC : ROW_BLANK;
    PageLayout layout;
    lay_out_pages(kinds, rows, 3508, cell, &layout);
    std::string pages;
    for (int i = 0; i < rows; i++) {
        pages += (char)('0' + layout.page[i]);
        on_page = i > 0 && layout.page[i] == layout.page[i - 1] ? on_page + 1 : 0;
        EXPECT_EQ(layout.y[i], PRINT_LINES_Y + on_page * cell) << "row " << i;
    }
    EXPECT_EQ(layout.pages, rows == 0 ? 1 : pages.back() - '0' + 1);
    return pages;
}

using RowKindOf = InTempDir;

TABLE_TEST(RowKindOf, TellsTheRowsOfTheTable, "page_layout", "row_kind")
{
    RowKind kind = row_kind(c[0].c_str());
    return kind == ROW_CHORD ? "chord" : kind == ROW_LYRIC ? "lyric" : "blank";
}

}  // namespace
