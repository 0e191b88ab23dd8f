// The chord transposer (cases in tests/cases/transpose.txt; fuzz/fuzz_transpose.cpp
// checks any rows, row count and count against a small model).
#include "transpose/transpose.h"

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

}  // namespace
