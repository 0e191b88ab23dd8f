// Tests of the printed page layout: rows on pages, chord rows kept with their words.
#include "layout/page_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A4 at 300 dpi; at the first magnification's cell (14 × 5) rows 0 to 37 fit a
// page: row 37 ends at 800 + 38 × 70 = 3460, row 38 would end at 3530.
constexpr int PAGE = 3508;

struct Case {
    const char* name;
    std::string kinds;       // a row per character: 'c' chord, 'l' lyric, '.' blank
    int cell;
    std::string pages;       // the page of each row, a digit per row
};

std::string repeat(const char* unit, int times)
{
    std::string s;
    for (int i = 0; i < times; i++)
        s += unit;
    return s;
}

RowKind kind_of(char c)
{
    return c == 'c' ? ROW_CHORD : c == 'l' ? ROW_LYRIC : ROW_BLANK;
}

const Case cases[] = {
    // a song that fits keeps the one-page positions, whatever its rows
    {"fits", "." + repeat("cl", 17) + ".ll", 70, repeat("0", 38)},
    {"fits_to_the_last_pixel", repeat("l", 38), 70, repeat("0", 38)},
    // row 37 is the page's last: a chord row there goes over with its words
    {"chord_at_the_foot", repeat("l", 37) + "cl" + repeat("l", 5), 70, repeat("0", 37) + repeat("1", 7)},
    {"chord_pairs_across", "." + repeat("cl", 30), 70, repeat("0", 37) + repeat("1", 24)},
    // above a blank row or another chord row, a chord row may end the page
    {"chord_over_a_blank", repeat("l", 37) + "c." + "l", 70, repeat("0", 38) + "11"},
    {"chord_over_a_chord", repeat("l", 37) + "ccl", 70, repeat("0", 38) + "11"},
    {"chord_last_of_the_song", repeat("l", 37) + "c", 70, repeat("0", 38)},
    // the largest magnification: 100 pixels a row, rows 0 to 26 on a page
    {"large_cell", repeat("l", 26) + "cl" + repeat("l", 30), 100, repeat("0", 26) + repeat("1", 27) + repeat("2", 5)},
    // a cell taller than the page: one row a page, even a chord row over its words
    {"huge_cell", "clcl", 4000, "0123"},
    {"no_rows", "", 70, ""},
};

TEST(LayOutPages, RowsGoOnPagesWithChordsKeptWithTheirWords)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int rows = (int)c.kinds.size();
        ASSERT_EQ(c.pages.size(), c.kinds.size());
        RowKind kinds[LINE_ROWS];
        for (int i = 0; i < rows; i++)
            kinds[i] = kind_of(c.kinds[i]);
        PageLayout layout;
        lay_out_pages(kinds, rows, PAGE, c.cell, &layout);
        std::string pages;
        for (int i = 0; i < rows; i++)
            pages += (char)('0' + layout.page[i]);
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(layout.pages, rows == 0 ? 1 : c.pages.back() - '0' + 1);
        // every row once, in order: each page's rows follow each other from y 800
        int on_page = 0;
        for (int i = 0; i < rows; i++) {
            on_page = i > 0 && layout.page[i] == layout.page[i - 1] ? on_page + 1 : 0;
            EXPECT_EQ(layout.y[i], PRINT_LINES_Y + on_page * c.cell) << "row " << i;
        }
    }
}

TEST(RowKind, ChordRowsAreMarkedLyricRowsHoldAnythingElse)
{
    struct Row { const char* text; RowKind kind; } table[] = {
        {"   G   C   D< ", ROW_CHORD}, {"<", ROW_CHORD}, {"Am7", ROW_LYRIC},
        {"  SING TO THE MORNING ", ROW_LYRIC}, {" ", ROW_BLANK}, {"", ROW_BLANK}, {"     ", ROW_BLANK},
    };
    for (const Row& row : table)
        EXPECT_EQ(row_kind(row.text), row.kind) << "[" << row.text << "]";
}

}  // namespace
