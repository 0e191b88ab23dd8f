// The chord transposer (cases in tests/cases/transpose.txt; fuzz/fuzz_transpose.cpp
// compares every byte of every row with a plain model).
#include "transpose/transpose.h"

#include <gtest/gtest.h>

#include <cstring>

#include "shell/shared_state.h"
#include "store/record.h"
#include "tests/support/test_files.h"

namespace {

std::string blanks_for_underscores(std::string text)
{
    for (char& c : text)
        c = c == '_' ? ' ' : c;
    return text;
}

using TransposeSong = InTempDir;

// The whole row displayed, its blanks written '_' as in the table.
TABLE_TEST(TransposeSong, BuildsEveryRowOfTheTable, "transpose", "transpose_song")
{
    reset_shared_state();
    copy_bounded(state.raw_lines[0], LINE_WIDTH, blanks_for_underscores(c[0]).c_str());
    state.line_count = 1;
    transpose_song(std::stoi(c[1]) / 2 + 3);   // each call starts again from the stored rows
    transpose_song(std::stoi(c[1]));
    std::string row = state.display_lines[0];
    for (char& ch : row)
        ch = ch == ' ' ? '_' : ch;
    return row;
}

TEST_F(TransposeSong, TouchesNoRowAtOrBeyondLineCount)
{
    for (int line_count : {-1, 0, 2, 1000}) {
        reset_shared_state();
        for (int r = 0; r < 4; r++)
            copy_bounded(state.raw_lines[r], LINE_WIDTH, "A  C#m  G<");
        memset(state.display_lines, 'x', sizeof state.display_lines);
        memset(state.line_buf, 'x', sizeof state.line_buf);
        state.line_count = line_count;
        transpose_song(1);
        int built = line_count < 0 ? 0 : line_count > LINE_ROWS ? LINE_ROWS : line_count;
        for (int r = 0; r < LINE_ROWS; r++)
            for (int i = 0; i < LINE_WIDTH; i++)
                ASSERT_EQ(state.display_lines[r][i] == 'x', r >= built) << line_count << " row " << r;
        for (int i = 0; i < LINE_BUF_SIZE; i++)
            ASSERT_EQ(state.line_buf[i], 'x') << line_count;
    }
}

}  // namespace
