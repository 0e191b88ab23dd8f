// The stage view's layout over the screen sizes of tests/cases/stage_layout.txt: every row whole on
// screen, in order, chord rows with their words, letters never below a one-column layout's.
#include "layout/stage_layout.h"

#include <cstdio>
#include <cstring>

#include "tests/support/test_files.h"

namespace {

const int screen_sizes[][2] = {{1366, 768}, {1280, 1024}, {1440, 900}, {1600, 900}, {1920, 1080}, {2560, 1440},
                               {3840, 2160}};

// A song as the loader leaves it: a blank row 0, then verses of chord and lyric rows
// (lyric rows only when chord rows are 0 wide), a blank row after each verse.
int make_song(const std::string& shape, char (*rows)[LINE_WIDTH])
{
    int count = 0, verse = 1, chord = 0, lyric = 1, indent = 0;
    sscanf(shape.c_str(), "%d %d %d %d %d", &count, &verse, &chord, &lyric, &indent);
    strcpy(rows[0], " ");
    for (int i = 1; i < count; i++) {
        int at = (i - 1) % (verse + 1);
        bool is_chord = chord > 0 && at % 2 == 0;
        std::string row(indent, ' ');
        row += at == verse ? " " : is_chord ? "G" + std::string(chord - 2, ' ') + "<" : std::string(lyric, 'w');
        snprintf(rows[i], LINE_WIDTH, "%s", row.c_str());
    }
    return count;
}

void expect_whole_and_in_order(const StageLayout& l, const char (*rows)[LINE_WIDTH], int count, int width, int height)
{
    EXPECT_LE(l.header_x + STAGE_HEADER_COLUMNS * l.header_width, width);
    int last_screen = -1, last_x = -1, last_y = -1;
    for (int i = 0; i < count; i++) {
        if (l.screen[i] < 0) {
            EXPECT_EQ(strspn(rows[i], " "), strlen(rows[i])) << "row " << i << " left out";
            continue;
        }
        EXPECT_TRUE(i >= l.first && i <= l.last) << "row " << i;
        EXPECT_GE(l.x[i], 0);
        EXPECT_LE(l.x[i] + (int)(strlen(rows[i]) - l.indent) * l.letter_width, width) << "row " << i;
        EXPECT_GE(l.y[i], l.header_y + l.header_height) << "row " << i;
        EXPECT_LE(l.y[i] + l.letter_height, height) << "row " << i;
        EXPECT_LT(l.screen[i], l.screens);
        bool after = l.screen[i] > last_screen || (l.screen[i] == last_screen &&
                                                   (l.x[i] > last_x || (l.x[i] == last_x && l.y[i] > last_y)));
        EXPECT_TRUE(after) << "row " << i << " out of order";
        last_screen = l.screen[i], last_x = l.x[i], last_y = l.y[i];
        if (strchr(rows[i], '<') && i + 1 < count && rows[i + 1][strspn(rows[i + 1], " ")] == 'w') {
            EXPECT_TRUE(l.screen[i + 1] == l.screen[i] && l.x[i + 1] == l.x[i] &&
                        l.y[i + 1] == l.y[i] + l.letter_height) << "chord row " << i << " parted from its words";
        }
    }
    EXPECT_EQ(last_screen, l.last < l.first ? -1 : l.screens - 1);
}

using LayOutStage = InTempDir;

// At each screen size: the letters' height, the columns and the screens.
TABLE_TEST(LayOutStage, FitsEverySongOnEveryScreen, "stage_layout", "lay_out_stage")
{
    static char rows[LINE_ROWS][LINE_WIDTH];
    static StageLayout layout, one_column;
    int count = make_song(c[0], rows);
    std::string result;
    for (const auto& size : screen_sizes) {
        lay_out_stage(rows, rows, count, size[0], size[1], 600, STAGE_MAX_COLUMNS, &layout);
        lay_out_stage(rows, rows, count, size[0], size[1], 600, 1, &one_column);
        expect_whole_and_in_order(layout, rows, count, size[0], size[1]);
        EXPECT_GE(layout.letter_height, one_column.letter_height);
        char at[32];
        snprintf(at, sizeof at, "%s%d %d %d", result.empty() ? "" : ", ", layout.letter_height, layout.columns,
                 layout.screens);
        result += at;
    }
    return result;
}

}  // namespace
