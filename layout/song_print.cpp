// A song on paper: its letters and columns chosen so that every row stands whole, and its page headers.
#include <cstdio>

#include "layout/page_layout.h"

void page_header(const char* title, const char* key, int page, int pages, char* buf, int size)
{
    bool keyed = key && key[0];
    if (page <= 1)
        snprintf(buf, (size_t)size, keyed ? "%s  (%s)" : "%s", title, key);
    else if (keyed)
        snprintf(buf, (size_t)size, "%s (%s) \x97 page %d of %d", title, key, page, pages);
    else
        snprintf(buf, (size_t)size, "%s \x97 page %d of %d", title, page, pages);
}

static const char* widest_row(const SongRows* rows, const char (*shown)[LINE_WIDTH])
{
    return rows->widest >= 0 ? shown[rows->widest] : "";
}

// The header of the song's last page is its longest: it must fit the whole width.
static void fit_header(const char* title, const char* key, int room, int floor_height, MeasureText measure,
                       void* printer, SongPrint* print)
{
    char header[HEADER_SIZE];
    page_header(title, key, print->layout.pages, print->layout.pages, header, sizeof header);
    print->header_letters = print->letters;
    fit_letters(&print->header_letters, header, room, floor_height, measure, printer);
}

// Two columns where the rows fit half the width without narrowing the letters
// under the floor, taken only when they save paper.
static void try_two_columns(const SongRows* rows, const char (*shown)[LINE_WIDTH], const PageFrame* frame,
                            Letters wanted, MeasureText measure, void* printer, SongPrint* print)
{
    int room = (frame->right - frame->left - frame->gutter) / 2;
    Letters letters = wanted;
    if (!fit_letters(&letters, widest_row(rows, shown), room, frame->floor_height, measure, printer) ||
        letters.narrowed)
        return;
    PagePlan plan;
    PageLayout layout;
    songbook_plan(frame, letters.height, 2, &plan);
    lay_out_pages(rows, &plan, &layout);
    if (layout.pages < print->layout.pages) {
        print->letters = letters;
        print->plan = plan;
        print->layout = layout;
    }
}

void plan_song(const SongRows* rows, const char (*shown)[LINE_WIDTH], const char* title, const char* key,
               const PageFrame* frame, Letters wanted, MeasureText measure, void* printer, SongPrint* print)
{
    int room = frame->right - frame->left;
    wanted.narrowed = false;
    print->letters = wanted;
    fit_letters(&print->letters, widest_row(rows, shown), room, frame->floor_height, measure, printer);
    songbook_plan(frame, print->letters.height, 1, &print->plan);
    lay_out_pages(rows, &print->plan, &print->layout);
    if (print->layout.pages > 1)
        try_two_columns(rows, shown, frame, wanted, measure, printer, print);
    fit_header(title, key, room, frame->floor_height, measure, printer, print);
}

static bool fits(const char* text, int room, const Letters* letters, MeasureText measure, void* printer)
{
    int length = printed_length(text);
    return length == 0 || measure(printer, letters, text, length) <= room;
}

bool plan_viewer_page(const SongRows* rows, const char (*shown)[LINE_WIDTH], const char* title,
                      const PrinterPage* page, Letters letters, MeasureText measure, void* printer, SongPrint* print)
{
    int room = page->printable_width - PRINT_X;
    print->letters = print->header_letters = letters;
    viewer_plan(page->printable_height, letters.height, &print->plan);
    lay_out_pages(rows, &print->plan, &print->layout);
    char header[HEADER_SIZE];
    page_header(title, "", print->layout.pages, print->layout.pages, header, sizeof header);
    return fits(widest_row(rows, shown), room, &letters, measure, printer) &&
           fits(header, room, &letters, measure, printer);
}
