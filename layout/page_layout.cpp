// The printed page: the letters a song prints in, its columns, which row goes where on which page.
#include "layout/page_layout.h"

#include "store/book_format.h"

RowKind row_kind(const char* raw)
{
    if (is_chord_row(raw, ROW_COLUMNS))
        return ROW_CHORD;
    for (int i = 0; i < LINE_WIDTH - 1 && raw[i]; i++)
        if (raw[i] != ' ')
            return ROW_LYRIC;
    return ROW_BLANK;
}

void row_kinds(const char (*raw)[LINE_WIDTH], int rows, RowKind* kinds)
{
    for (int i = 0; i < rows && i < LINE_ROWS; i++)
        kinds[i] = row_kind(raw[i]);
}

int printed_length(const char* row)
{
    int length = 0;
    for (int i = 0; i < LINE_WIDTH - 1 && row[i]; i++)
        if (row[i] != ' ')
            length = i + 1;
    return length;
}

void song_rows(const char (*raw)[LINE_WIDTH], const char (*shown)[LINE_WIDTH], int count, SongRows* rows)
{
    rows->count = count < 0 ? 0 : count > LINE_ROWS ? LINE_ROWS : count;
    rows->widest = -1;
    int widest = 0;
    for (int i = 0; i < rows->count; i++) {
        rows->kind[i] = row_kind(raw[i]);
        int raw_length = printed_length(raw[i]);
        rows->label[i] = rows->kind[i] == ROW_LYRIC && raw[i][raw_length - 1] == ':';
        int length = printed_length(shown[i]);
        if (length > widest) {
            widest = length;
            rows->widest = i;
        }
    }
}

static int from_tenths_mm(int tenths, int dpi)
{
    return (int)((long long)tenths * dpi / 254);
}

// One direction of the frame: the margin from the paper's edges, but a tenth
// of the paper at most, and never outside the printable stretch.
static void frame_side(int paper, int offset, int printable, int dpi, int* low, int* high)
{
    if (paper < offset + printable)
        paper = 2 * offset + printable;   // a driver that tells no paper size: as much again on the far side
    int margin = from_tenths_mm(MARGIN_TENTHS_MM, dpi);
    if (margin > paper / 10)
        margin = paper / 10;
    *low = margin > offset ? margin - offset : 0;
    *high = paper - offset - margin < printable ? paper - offset - margin : printable;
    if (*high <= *low) {
        *low = 0;
        *high = printable;
    }
}

void page_frame(const PrinterPage* page, PageFrame* frame)
{
    // a driver answering nonsense still gets a page of some size
    int width = page->printable_width > 0 ? page->printable_width : 1;
    int height = page->printable_height > 0 ? page->printable_height : 1;
    int dpi_x = page->dpi_x > 0 ? page->dpi_x : 300;
    int dpi_y = page->dpi_y > 0 ? page->dpi_y : 300;
    int offset_x = page->offset_x > 0 ? page->offset_x : 0;
    int offset_y = page->offset_y > 0 ? page->offset_y : 0;
    frame_side(page->paper_width, offset_x, width, dpi_x, &frame->left, &frame->right);
    frame_side(page->paper_height, offset_y, height, dpi_y, &frame->top, &frame->bottom);
    frame->gutter = from_tenths_mm(GUTTER_TENTHS_MM, dpi_x);
    frame->floor_height = (FLOOR_POINTS * dpi_y + 71) / 72;
}

bool shrink_letters(Letters* letters, int extent, int room, int floor_height)
{
    if (extent <= room || letters->width <= 1)
        return false;
    if (room < 1)
        room = 1;
    int width = (int)((long long)letters->width * room / extent);
    if (width >= letters->width)
        width = letters->width - 1;
    if (width < 1)
        width = 1;
    // letters asked for below the floor keep their height: the floor only stops shrinking
    int least = floor_height < letters->height ? floor_height : letters->height;
    int height = letters->narrowed ? letters->height : (int)((long long)letters->height * width / letters->width);
    if (height < least) {
        height = least;
        letters->narrowed = true;
    }
    letters->height = height;
    letters->width = width;
    return true;
}

bool fit_letters(Letters* letters, const char* text, int room, int floor_height, MeasureText measure, void* printer)
{
    int length = printed_length(text);
    // every round takes a pixel off the width at least; 40 are far more than any driver needs
    for (int round = 0; round < 40; round++) {
        int extent = length > 0 ? measure(printer, letters, text, length) : 0;
        if (extent <= room)
            return true;
        if (!shrink_letters(letters, extent, room, floor_height))
            return false;
    }
    return false;
}

void viewer_plan(int printable_height, int row_height, PagePlan* plan)
{
    plan->title_x = PRINT_X;
    plan->title_y = PRINT_TITLE_Y;
    plan->rows_y = PRINT_LINES_Y;
    plan->row_height = row_height > 0 ? row_height : 1;
    plan->rows_per_column = (printable_height - PRINT_LINES_Y) / plan->row_height;
    plan->columns = 1;
    plan->column_x[0] = plan->column_x[1] = PRINT_X;
    plan->first_row_stays = true;
}

void songbook_plan(const PageFrame* frame, int row_height, int columns, PagePlan* plan)
{
    plan->row_height = row_height > 0 ? row_height : 1;
    plan->title_x = frame->left;
    plan->title_y = frame->top;
    plan->rows_y = frame->top + plan->row_height + plan->row_height / 2;   // half a row under the header
    plan->rows_per_column = (frame->bottom - plan->rows_y) / plan->row_height;
    plan->columns = columns == 2 ? 2 : 1;
    plan->column_x[0] = frame->left;
    plan->column_x[1] = frame->left + (frame->right - frame->left + frame->gutter) / 2;
    plan->first_row_stays = false;
}

// A chord row over its words, or a label over its row: the two stand together.
static bool holds_next(const SongRows* rows, int row)
{
    if (row + 1 >= rows->count)
        return false;
    RowKind next = rows->kind[row + 1];
    return (rows->kind[row] == ROW_CHORD && next == ROW_LYRIC) || (rows->label[row] && next != ROW_BLANK);
}

static int group_length(const SongRows* rows, int row)
{
    int length = 1;
    while (holds_next(rows, row + length - 1))
        length++;
    return length;
}

void lay_out_pages(const SongRows* rows, const PagePlan* plan, PageLayout* layout)
{
    int count = rows->count > LINE_ROWS ? LINE_ROWS : rows->count;
    int per_column = plan->rows_per_column > 0 ? plan->rows_per_column : 1;   // a huge row still gets a page
    int columns = plan->columns == 2 ? 2 : 1;
    int column = 0;   // counted over the whole song: the page is column / columns
    int used = 0;     // rows already in this column
    for (int row = 0; row < count; row++) {
        bool starts_group = row == 0 || !holds_next(rows, row - 1);
        bool breaks = used > 0 && (used >= per_column || (starts_group && used + group_length(rows, row) > per_column));
        // a blank row that would open a column is left out, and opens none
        if ((used == 0 || breaks) && rows->kind[row] == ROW_BLANK && !(row == 0 && plan->first_row_stays)) {
            layout->page[row] = -1;
            layout->x[row] = layout->y[row] = 0;
            continue;
        }
        if (breaks) {
            column++;
            used = 0;
        }
        layout->page[row] = column / columns;
        layout->x[row] = plan->column_x[column % columns];
        layout->y[row] = plan->rows_y + used * plan->row_height;
        used++;
    }
    layout->pages = column / columns + 1;
}
